#pragma once

#include "model/UserInteraction.h"

#include <QDialog>

class QLabel;
class QPushButton;

// Asks what to do with a file that is already there: append to it, overwrite
// it or cancel. It stays above other windows, and closing it any way other
// than with a button is Cancel.
class dlgFileExists : public QDialog
{
    Q_OBJECT
public:
    explicit dlgFileExists(QWidget* parent = nullptr);

    // Shows `text` in the label and waits for the answer.
    FileExistsAnswer Ask(const QString& text);
    FileExistsAnswer Answer() const { return answer_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void AppendButton_Click();
    void OverwriteButton_Click();
    void CancelButton_Click();

    QLabel* Label1;
    QPushButton* AppendButton;
    QPushButton* OverwriteButton;
    QPushButton* CancelButton;
    FileExistsAnswer answer_ = FileExistsAnswer::Cancel;
};
