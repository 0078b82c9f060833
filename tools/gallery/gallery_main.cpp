// Renders every skinned control in each of its states, and the three panel
// pictures with controls over them, to PNG files for a person to look at:
//   orvel_gallery OUTPUT_FOLDER
#include "controls/gui_font.h"
#include "controls/orvel_button.h"
#include "controls/resource_lookup.h"
#include "controls/splitter_wnd_extnd.h"
#include "controls/x_edit.h"
#include "controls/x_static.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFocusEvent>
#include <QFont>
#include <QListWidget>
#include <QPainter>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <functional>

namespace orvel {
namespace {

const QColor kGreen(140, 191, 63);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kFieldGrey(165, 165, 165);

QFont fontOfHeight(int height)
{
    return orvel::guiFont(height);
}

class Gallery {
public:
    explicit Gallery(QString folder) : folder_(std::move(folder)) {}

    void save(QWidget& widget, const QString& name)
    {
        const QString path = QDir(folder_).filePath(name + QStringLiteral(".png"));
        if (!widget.grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
            failed_ = true;
        }
    }

    bool failed() const { return failed_; }

private:
    QString folder_;
    bool failed_ = false;
};

// Saves a button released, hovered and pressed.
void saveButtonStates(Gallery& gallery, COrvelButton& button, const QString& name)
{
    gallery.save(button, name + QStringLiteral("-normal"));
    button.hovering_ = true;
    gallery.save(button, name + QStringLiteral("-hover"));
    button.hovering_ = false;
    button.setDown(true);
    gallery.save(button, name + QStringLiteral("-pressed"));
    button.setDown(false);
}

void setUpPanelButton(COrvelButton& button, const QFont& font)
{
    button.customFill_ = true;
    button.fillColour_ = kGreen;
    button.imageButton_ = true;
    button.textColour_ = kWhite;
    button.setFont(font);
}

void renderButtons(Gallery& gallery)
{
    const QFont homeFont = fontOfHeight(22);
    COrvelButton home(QStringLiteral("Drive Health"));
    home.fontOverride_ = &homeFont;
    home.customFill_ = true;
    home.fillColour_ = kGreen;
    home.textColour_ = kWhite;
    home.resize(135, 50);
    saveButtonStates(gallery, home, QStringLiteral("button-home"));

    const QFont panelFont = fontOfHeight(18);
    COrvelButton panel(QStringLiteral("Next"));
    setUpPanelButton(panel, panelFont);
    panel.resize(50, 25);
    saveButtonStates(gallery, panel, QStringLiteral("button-panel"));
    panel.setEnabled(false);
    gallery.save(panel, QStringLiteral("button-panel-disabled"));

    COrvelButton browse(QStringLiteral("..."));
    browse.customFill_ = true;
    browse.fillColour_ = QColor(222, 220, 221);
    browse.imageButton_ = true;
    browse.textColour_ = kBlack;
    browse.resize(30, 20);
    saveButtonStates(gallery, browse, QStringLiteral("button-browse"));

    COrvelButton defaultFill(QStringLiteral("Default"));
    defaultFill.resize(80, 25);
    saveButtonStates(gallery, defaultFill, QStringLiteral("button-default-fill"));

    COrvelButton help;
    help.customFill_ = true;
    help.fillColour_ = kBlack;
    help.imageButton_ = true;
    help.imageId_ = kHelpImageId;
    help.textColour_ = kWhite;
    help.layout_ |= LAYOUT_IMAGE_TOP_LEFT;
    help.setFont(fontOfHeight(18));
    help.resize(30, 30);
    saveButtonStates(gallery, help, QStringLiteral("button-help"));
    help.imageId_ = 999;
    gallery.save(help, QStringLiteral("button-help-missing-image"));

    for (const auto& [layout, name] : {std::pair{LAYOUT_IMAGE_RIGHT, "right"}, std::pair{LAYOUT_IMAGE_LEFT, "left"}}) {
        COrvelButton withImage(QStringLiteral("Image"));
        setUpPanelButton(withImage, panelFont);
        withImage.imageId_ = kHelpImageId;
        withImage.layout_ = layout;
        withImage.resize(200, 40);
        saveButtonStates(gallery, withImage, QStringLiteral("button-layout-") + QLatin1String(name));
    }

    COrvelButton wide(QStringLiteral("A caption far wider than its button"));
    setUpPanelButton(wide, panelFont);
    wide.resize(80, 25);
    gallery.save(wide, QStringLiteral("button-wide-caption"));
}

// The operator's first turn to a box: the focus arrives.
void turnTo(CXEdit& edit)
{
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QCoreApplication::sendEvent(&edit, &focus);
}

void renderEdits(Gallery& gallery)
{
    const auto fieldGrey = [](CXEdit::Colours& colours) { colours.background = QBrush(kFieldGrey); };

    CXEdit own;
    own.resize(200, 20);
    own.setText(QStringLiteral("written by the program"));
    gallery.save(own, QStringLiteral("edit-prompt"));
    turnTo(own);
    own.setText(QStringLiteral("typed by the operator"));
    gallery.save(own, QStringLiteral("edit-after-first-turn"));

    CXEdit field;
    field.resize(200, 20);
    field.setColourOverride(fieldGrey);
    field.setText(QStringLiteral("0"));
    gallery.save(field, QStringLiteral("edit-panel-field-prompt"));
    turnTo(field);
    field.setText(QStringLiteral("2048"));
    gallery.save(field, QStringLiteral("edit-panel-field-typed"));
    field.setEnabled(false);
    gallery.save(field, QStringLiteral("edit-panel-field-disabled"));
}

void renderLabels(Gallery& gallery)
{
    const auto saveLabel = [&gallery](const QString& name, const std::function<void(CXStatic&)>& setUp) {
        CXStatic label(QStringLiteral("Source Drive : "));
        label.resize(150, 24);
        setUp(label);
        gallery.save(label, name);
    };
    saveLabel(QStringLiteral("label-default"), [](CXStatic&) {});
    saveLabel(QStringLiteral("label-white"), [](CXStatic& label) { label.SetWhiteBackground(); });
    saveLabel(QStringLiteral("label-height-16"), [](CXStatic& label) { label.SetFontHeight(16); });
    saveLabel(QStringLiteral("label-height-19"), [](CXStatic& label) { label.SetFontHeight(19); });
    saveLabel(QStringLiteral("label-right"), [](CXStatic& label) { label.format_ = kLabelTextRight; });
    saveLabel(QStringLiteral("label-set-font-ignored"), [](CXStatic& label) { label.setFont(fontOfHeight(30)); });
}

void renderSplitter(Gallery& gallery)
{
    QWidget holder;
    holder.resize(600, 300);
    auto* splitter = new CSplitterWndExtnd(&holder);
    splitter->setGeometry(0, 0, 600, 300);
    auto* drives = new QListWidget;
    drives->addItems({QStringLiteral("0  Maker  XY1000QZ  465.76 GB"), QStringLiteral("1  Other  SSD  238.47 GB")});
    auto* attributes = new QListWidget;
    attributes->addItems({QStringLiteral("1  Raw Read Error Rate"), QStringLiteral("9  Power-On Hours")});
    splitter->CreateView(0, 0, drives, QSize(250, 100));
    splitter->CreateView(1, 0, attributes, QSize(100, 100));
    holder.show();
    gallery.save(holder, QStringLiteral("splitter"));
}

// A panel that paints a picture stretched over its area less a bottom strip,
// with controls placed over it as the program's panels place theirs.
class PicturePanel : public QWidget {
public:
    PicturePanel(std::uint16_t pictureId, int bottomStrip) : picture_(loadBitmapResource(pictureId)), strip_(bottomStrip)
    {
        resize(600, 370);
    }

    QString note;

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), kWhite);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(QRect(0, 0, width(), height() - strip_), picture_);
        if (!note.isEmpty()) {
            painter.setFont(fontOfHeight(16));
            painter.setPen(kBlack);
            painter.drawText(QPoint(10, height() - 100 + painter.fontMetrics().ascent()), note);
        }
    }

private:
    QImage picture_;
    int strip_;
};

CXStatic* addLabel(QWidget& panel, const QString& text, QRect place, bool white, int fontHeight)
{
    auto* label = new CXStatic(text, &panel);
    if (white)
        label->SetWhiteBackground();
    if (fontHeight > 0)
        label->SetFontHeight(fontHeight);
    label->setGeometry(place);
    return label;
}

COrvelButton* addPanelButton(QWidget& panel, const QString& text, QRect place, const QFont& font)
{
    auto* button = new COrvelButton(text, &panel);
    setUpPanelButton(*button, font);
    button->setGeometry(place);
    return button;
}

void renderPanels(Gallery& gallery)
{
    const QFont homeFont = fontOfHeight(22);
    PicturePanel home(kHomePictureId, 30);
    int x = 35;
    for (const char* caption : {"Imaging", "Cloning", "Drive Health"}) {
        auto* button = new COrvelButton(QString::fromLatin1(caption), &home);
        button->fontOverride_ = &homeFont;
        button->customFill_ = true;
        button->fillColour_ = kGreen;
        button->textColour_ = kWhite;
        button->setGeometry(x, 260, 135, 50);
        x = x == 35 ? 228 : 415;
    }
    gallery.save(home, QStringLiteral("panel-home"));

    const QFont panelFont = fontOfHeight(16);
    PicturePanel cloning(kCloningPictureId, 0);
    cloning.note = QStringLiteral("Note: Too many attempts for bad sectors may damage the disk.");
    addLabel(cloning, QStringLiteral("Source Drive : "), QRect(50, 70, 120, 20), true, 19);
    addLabel(cloning, QStringLiteral("Destination Drive : "), QRect(50, 100, 120, 20), true, 19);
    for (const int y : {70, 100}) {
        auto* list = new QComboBox(&cloning);
        list->setEditable(true);
        list->addItem(QStringLiteral("Maker XY1000QZ:  S3R1AL \r\n(465.76 GB)"));
        list->setGeometry(200, y, 350, 22);
    }
    addLabel(cloning, QStringLiteral("Source Start : "), QRect(50, 160, 150, 20), false, 0);
    addLabel(cloning, QStringLiteral("Destination Start : "), QRect(50, 190, 150, 20), false, 0);
    addLabel(cloning, QStringLiteral("No. of sectors to copy : "), QRect(50, 220, 150, 20), true, 0);
    addLabel(cloning, QStringLiteral("Retry attempt : "), QRect(50, 250, 150, 20), true, 0);
    for (const int y : {160, 190, 220}) {
        auto* field = new CXEdit(&cloning);
        field->setColourOverride([](CXEdit::Colours& colours) { colours.background = QBrush(kFieldGrey); });
        field->setGeometry(250, y, 200, 20);
    }
    addPanelButton(cloning, QStringLiteral("Back"), QRect(490, 310, 50, 25), panelFont);
    addPanelButton(cloning, QStringLiteral("Next"), QRect(545, 310, 50, 25), panelFont);
    gallery.save(cloning, QStringLiteral("panel-cloning"));

    PicturePanel imaging(kImagingPictureId, 0);
    addLabel(imaging, QStringLiteral("Source Drive : "), QRect(50, 150, 120, 20), false, 19);
    addLabel(imaging, QStringLiteral("Destination Path : "), QRect(50, 200, 120, 20), false, 19);
    auto* source = new QComboBox(&imaging);
    source->setEditable(true);
    source->setGeometry(200, 150, 350, 22);
    auto* path = new CXEdit(&imaging);
    path->setColourOverride([](CXEdit::Colours& colours) { colours.background = QBrush(kFieldGrey); });
    path->setGeometry(200, 200, 300, 20);
    auto* browse = new COrvelButton(QStringLiteral("..."), &imaging);
    browse->customFill_ = true;
    browse->fillColour_ = QColor(222, 220, 221);
    browse->imageButton_ = true;
    browse->setGeometry(520, 200, 30, 20);
    addPanelButton(imaging, QStringLiteral("Back"), QRect(490, 310, 50, 25), fontOfHeight(18));
    addPanelButton(imaging, QStringLiteral("Next"), QRect(545, 310, 50, 25), fontOfHeight(18));
    gallery.save(imaging, QStringLiteral("panel-imaging"));
}

} // namespace
} // namespace orvel

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", /*overwrite=*/0);
    QApplication application(argc, argv);
    orvel::useStockGuiFace();
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUTPUT_FOLDER\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) {
        std::fprintf(stderr, "cannot make %s\n", argv[1]);
        return 1;
    }
    orvel::Gallery gallery(folder);
    orvel::renderButtons(gallery);
    orvel::renderEdits(gallery);
    orvel::renderLabels(gallery);
    orvel::renderSplitter(gallery);
    orvel::renderPanels(gallery);
    return gallery.failed() ? 1 : 0;
}
