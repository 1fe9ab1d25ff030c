#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

// The modal boxes a window opens go through one of these hooks, so that a test can read and answer them
// without a box on screen.

// A message the user closes with OK.
using MessageHook = std::function<void(const QString &text)>;
// A yes-or-no question; true for yes.
using QuestionHook = std::function<bool(const QString &text)>;

// Titled with the program's name; `parent` may be null.
void ShowMessage(const QString &text, QMessageBox::Icon icon, QWidget *parent = nullptr);
// "Evet" and "Hayır", with "Hayır" the default.
bool AskYesNo(const QString &text);
