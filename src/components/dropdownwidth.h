#pragma once

class QComboBox;
class QWidget;

// The average width in pixels of a letter of the window's font.
int averageCharWidth(const QWidget *form);

// Widens the combo's drop-down list so that its longest item fits.
void sizeDropDownToItems(QComboBox *combo, const QWidget *form);
