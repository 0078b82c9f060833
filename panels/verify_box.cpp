#include "panels/verify_box.h"

#include "panels/control_id.h"
#include "panels/panel_look.h"

#include <QApplication>
#include <QCheckBox>

namespace orvel {

QCheckBox* makeVerifyBox(QWidget& panel, const QString& text, int id, bool ticked)
{
    auto* box = new QCheckBox(text, &panel);
    setControlId(*box, id);
    box->setFont(QApplication::font());
    giveWhiteBackground(*box);
    box->setChecked(ticked);
    return box;
}

} // namespace orvel
