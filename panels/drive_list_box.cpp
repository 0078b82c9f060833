#include "panels/drive_list_box.h"

#include "panels/control_id.h"

#include <QApplication>
#include <QComboBox>
#include <QFontMetrics>
#include <QLineEdit>

namespace orvel {

namespace {

constexpr int kComboListHeight = 200;  // the open list

} // namespace

QComboBox* makeDriveList(QWidget& panel, int id)
{
    auto* list = new QComboBox(&panel);
    setControlId(*list, id);
    list->setFont(QApplication::font());
    list->setEditable(true);
    list->setInsertPolicy(QComboBox::NoInsert);
    list->lineEdit()->setReadOnly(true);
    list->setMaxVisibleItems(kComboListHeight / QFontMetrics(list->font()).height());
    return list;
}

} // namespace orvel
