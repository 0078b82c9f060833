#pragma once

#include "engine/message_box.h"
#include "panels/panel_host.h"
#include "platform/platform.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QWidget>

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace orvel::test {

// Takes the program's "open this file" requests (the operation logs) instead
// of starting the user's viewer.
class OpenedUrls : public QObject {
    Q_OBJECT

public:
    std::vector<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

// Stands in for the panel host: a 600 x 370 main window that the panels fill,
// the host's flags and operation, and a record of every message the panels send. With
// switchesPanels it also acts on them as the host does, destroying the
// current panel during the call: WM_COPY_START shows a progress window,
// WM_SHOW_HOME empties the inventory and leaves no panel. With
// defersDeletion a replaced panel is hidden and deleted later, from the
// event loop, instead of at once.
class RecordingPanelHost : public PanelHost {
public:
    RecordingPanelHost(Platform& platform, MessageBoxService& messageBoxes, std::string logDirectory);
    ~RecordingPanelHost() override;

    // A new panel of kind P over the whole main window, replacing the current one.
    template <typename P>
    P& show()
    {
        closePanel();
        auto* panel = new P(*this, &window_);
        current_ = panel;
        panel->setGeometry(window_.rect());
        panel->show();
        return *panel;
    }

    QWidget* currentPanel() const { return current_; }
    void closePanel();
    void useMessageBoxes(MessageBoxService& messageBoxes) { messageBoxes_ = &messageBoxes; }

    const std::vector<QUrl>& openedUrls() const { return opened_.urls; }

    std::vector<std::uint32_t> messages;
    bool switchesPanels = false;
    bool defersDeletion = false;
    bool forward = true;
    OperationKind operation = OperationKind::Imaging;
    bool verify = false;
    // What the set-up panel chose, until a progress window takes it.
    MapSettings map;

    void handlePanelMessage(std::uint32_t message) override;
    bool forwardCopy() const override { return forward; }
    void setForwardCopy(bool value) override { forward = value; }
    OperationKind operationKind() const override { return operation; }
    bool verifyAfterCopy() const override { return verify; }
    void setOperation(OperationKind kind, bool verifyChoice) override
    {
        operation = kind;
        verify = verifyChoice;
        map = {};
    }
    void setMapSettings(MapSettings chosen) override { map = std::move(chosen); }
    MapSettings takeMapSettings() override { return std::exchange(map, {}); }
    void closeMainWindow() override {}
    QWidget* mainWindow() override { return &window_; }
    Platform& platform() override { return platform_; }
    MessageBoxService& messageBoxes() override { return *messageBoxes_; }
    std::string logDirectory() override { return logDirectory_; }

private:
    Platform& platform_;
    MessageBoxService* messageBoxes_;
    std::string logDirectory_;
    OpenedUrls opened_;
    QWidget window_;
    QPointer<QWidget> current_;
};

} // namespace orvel::test
