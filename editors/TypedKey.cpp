#include "editors/TypedKey.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

bool FilterTypedKey(QWidget* box, QKeyEvent* key, const KeyFilter& filter)
{
    const QString text = key->text();
    if (text.isEmpty() || !text.front().isPrint() ||
        key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))
        return false;
    if (text.size() != 1)
        return true;
    const std::optional<QChar> accepted = filter(text.front());
    if (!accepted)
        return true;
    if (*accepted == text.front())
        return false;
    QKeyEvent replaced(key->type(), key->key(), key->modifiers(), QString(*accepted),
                       key->isAutoRepeat(), ushort(key->count()));
    QApplication::sendEvent(box, &replaced);
    return true;
}

bool EnterPressesDefault(QObject* watched, QEvent* event, QPushButton* button)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) ||
        (key->modifiers() & ~Qt::KeypadModifier))
        return false;
    const auto* box = qobject_cast<QComboBox*>(watched);
    if (!box || !box->isEditable() || box->view()->isVisible() || !button->isEnabled())
        return false;
    button->click();
    return true;
}

void TabLandsOnChosen(std::initializer_list<QAbstractButton*> group)
{
    bool anyChosen = false;
    for (const QAbstractButton* button : group)
        anyChosen = anyChosen || button->isChecked();
    for (QAbstractButton* button : group)
        button->setFocusPolicy(!anyChosen || button->isChecked() ? Qt::StrongFocus
                                                                 : Qt::ClickFocus);
}
