#pragma once

class QComboBox;
class QWidget;

namespace orvel {

// A set-up panel's drop-down of drives and volumes: an edit field that shows
// the choice, which typing in it cannot change, and an open list of about 200
// pixels.
QComboBox* makeDriveList(QWidget& panel, int id);

} // namespace orvel
