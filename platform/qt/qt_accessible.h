// What assistive technology (a screen reader, through AT-SPI) reads of the program's windows. A
// form window says what it is, as its definition's role gives it: the tray's hidden window, a
// dialog, or an alert, each named by its caption (a screen reader reads an alert's labels itself).
// A link label reads as a link named by its text, a control the definition names
// (a list) by that name; the other controls read as Qt makes them.
#pragma once

class QWidget;

namespace qm::qt {

// Makes form windows read as above; call before the first window is read (once is enough).
void installFormAccessibility();

// Tells assistive technology that the alert `window` has just opened.
void announceAlert(QWidget* window);

}  // namespace qm::qt
