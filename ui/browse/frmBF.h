#pragma once

#include "ui/styled/MessageBoxHook.h"

#include <QWidget>
#include <functional>

class DriveList;
class FileList;
class FolderTree;
class QFrame;
class QLineEdit;
class Volumes;
class vkCommand;

// The folder browser in which the user picks the backup folder. It starts at the working folder and
// hands the choice back through folderChosen; closing it destroys it, hiding keeps where the user was.
class frmBF : public QWidget {
    Q_OBJECT
public:
    explicit frmBF(const QString &programFolder, QWidget *parent = nullptr);
    frmBF(const QString &programFolder, const Volumes &volumes, QWidget *parent = nullptr);
    ~frmBF() override;

    void setFileListVisible(bool visible);
    QString openFolder() const;
    // Goes to the drive of the program's folder and then to that folder.
    void Err_Path();
    // Tests answer the modal message box themselves.
    void setMessageBox(MessageHook messageBox) { messageBox_ = std::move(messageBox); }

signals:
    void folderChosen(const QString &folderWithSeparator);

protected:
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createControls(const QStringList &roots);
    void openDrive();
    void keepOpenFolder();
    void followFolderTree();
    void confirm();

    QString programFolder_;
    MessageHook messageBox_;

    QLineEdit *nereye = nullptr;    // a field hidden behind the frame, only its top edge showing
    QFrame *Frame1 = nullptr;       // the white bordered frame around the browser
    QWidget *Picture1 = nullptr;    // the white area inside the frame that holds the lists and buttons
    DriveList *Drive1 = nullptr;    // the drive list: picks the volume to browse
    FolderTree *Dir1 = nullptr;     // the folder tree: its open folder is the choice
    FileList *File1 = nullptr;      // the open folder's files; hidden when opened from the settings
    QFrame *Line1 = nullptr;        // the rule above the buttons
    vkCommand *cmdOk = nullptr;     // the TAMAM button: hands the open folder to the settings window
    vkCommand *cmdCancel = nullptr; // the KAPAT button: closes the browser without a choice
};
