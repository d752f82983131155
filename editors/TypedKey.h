#pragma once

#include <QChar>
#include <functional>
#include <initializer_list>
#include <optional>

class QAbstractButton;
class QEvent;
class QKeyEvent;
class QObject;
class QPushButton;
class QWidget;

// A key filter's verdict on a character: the character to type instead, or
// nothing to discard the key.
using KeyFilter = std::function<std::optional<QChar>(QChar typed)>;

// Puts a key press about to reach `box` through `filter`. True when the key
// has been dealt with (discarded, or typed as the filter's character), false
// when it goes on as it is: keys that type nothing (arrows, Home, Delete),
// control keys (Tab, Enter, Escape, Backspace) and shortcuts always do.
bool FilterTypedKey(QWidget* box, QKeyEvent* key, const KeyFilter& filter);

// Enter or Return in an editable combo box whose list is closed presses
// `button`, the dialog's default, as it does in a text box; the combo box
// would otherwise keep the key. True when it did.
bool EnterPressesDefault(QObject* watched, QEvent* event, QPushButton* button);

// Tab into a group of option buttons lands on the chosen one, also when the
// program chose it; the arrow keys then move the choice.
void TabLandsOnChosen(std::initializer_list<QAbstractButton*> group);
