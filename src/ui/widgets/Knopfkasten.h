#pragma once
// The painted button box of the borderless dialogs in the lower-right corner, with the small ordinary buttons
// under it that carry focus and keyboard: a click on the box clicks the button it shows, and the box shows
// which of them has the focus.
#include "ui/widgets/TButtonLeiste.h"

class QDialog;
class QPushButton;

namespace zanit {

// `rechts` may be nullptr for a box with one button. The dialog has its final size.
TButtonLeiste* SetzeKnopfkasten(QDialog* dialog, Knopflayout layout, QPushButton* links, QPushButton* rechts);

}  // namespace zanit
