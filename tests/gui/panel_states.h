#pragma once

// Every panel of the window in each state an operator meets it in, for the
// tests that look over all of them (texts, focus order, names).
#include "tests/gui/health_panel_fixture.h"
#include "tests/gui/panel_test_support.h"

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

namespace orvel::test {

class PanelStates;

struct PanelState {
    const char* name;
    std::function<QWidget&(PanelStates&)> show;  // the panel, shown and in its state
};

// The panels on simulated drives; the drive health panel in a session of its own.
class PanelStates : public PanelTest {
public:
    static const std::vector<PanelState>& all();

protected:
    void TearDown() override;

private:
    friend struct PanelStateMakers;
    std::unique_ptr<HealthPanelSession> health_;
};

} // namespace orvel::test
