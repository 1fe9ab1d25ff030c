#include "ui/browse/frmBF.h"

#include "ui/browse/BrowsePaths.h"
#include "ui/browse/DriveList.h"
#include "ui/browse/FileList.h"
#include "ui/browse/FolderTree.h"
#include "ui/browse/MountedVolumes.h"
#include "ui/styled/Colours.h"
#include "ui/styled/Placement.h"
#include "ui/styled/Twips.h"
#include "ui/styled/WindowFont.h"
#include "ui/styled/vkCommand.h"

#include <QDir>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>

using namespace Qt::StringLiterals;

namespace {

constexpr int kEscapeCode = 27;

void PaintWhite(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, Qt::white);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

} // namespace

frmBF::frmBF(const QString &programFolder, QWidget *parent) : frmBF(programFolder, MountedVolumes(), parent)
{}

frmBF::frmBF(const QString &programFolder, const Volumes &volumes, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      programFolder_(programFolder),
      messageBox_([this](const QString &text) { ShowMessage(text, QMessageBox::Critical, this); })
{
    setObjectName(u"frmBF"_s);
    setWindowTitle(u"KLASÖR SEÇİN"_s);
    setFixedSize(TwipsToPixels(4530), TwipsToPixels(5325));
    setAttribute(Qt::WA_DeleteOnClose);
    PaintWhite(this);
    createControls(volumes.roots());
}

frmBF::~frmBF() = default;

void frmBF::createControls(const QStringList &roots)
{
    // Created before the frame, so that the frame covers all of it but its top edge.
    nereye = Place(new QLineEdit(u"1"_s, this), u"nereye"_s, TwipsRect(3360, 0, 975, 195));

    Frame1 = Place(new QFrame(this), u"Frame1"_s, TwipsRect(80, 80, 4480, 5295));
    Frame1->setFrameStyle(QFrame::Box | QFrame::Plain);
    PaintWhite(Frame1);
    Picture1 = Place(new QWidget(Frame1), u"Picture1"_s, TwipsRect(120, 240, 4320, 4935));
    PaintWhite(Picture1);

    const QString workingFolder = AbsoluteFolder(QDir::currentPath());
    const QFont listFont = WindowFont(u"Tahoma"_s, 8.25, false);
    Drive1 = Place(new DriveList(roots, VolumeRootOf(workingFolder, roots), Picture1), u"Drive1"_s,
                   TwipsRect(0, 0, 4215, 315));
    Dir1 = Place(new FolderTree(Picture1), u"Dir1"_s, TwipsRect(0, 480, 4215, 1665));
    File1 = Place(new FileList(Picture1), u"File1"_s, TwipsRect(0, 2280, 4215, 1845));
    for (QWidget *list : QList<QWidget *>{Drive1, Dir1, File1}) {
        list->setFont(listFont);
        list->setCursor(Qt::PointingHandCursor);
    }
    Dir1->setPath(workingFolder);
    followFolderTree();

    Line1 = Place(new QFrame(Picture1), u"Line1"_s, TwipsRect(0, 4320, 4200, kTwipsPerPixel));
    Line1->setFrameStyle(QFrame::HLine | QFrame::Plain);
    const QFont buttonFont = WindowFont(u"MS Sans Serif"_s, 12, true);
    cmdOk = PlaceCommand(Picture1, u"cmdOk"_s, u"TAMAM"_s, Colours::kGreen, buttonFont,
                         TwipsRect(2400, 4440, 1695, 495));
    cmdCancel = PlaceCommand(Picture1, u"cmdCancel"_s, u"KAPAT"_s, Colours::kRed, buttonFont,
                             TwipsRect(0, 4440, 1815, 495));

    const QList<QWidget *> tabOrder{Drive1, Dir1, File1, nereye, cmdOk, cmdCancel};
    for (qsizetype i = 1; i < tabOrder.size(); ++i)
        QWidget::setTabOrder(tabOrder[i - 1], tabOrder[i]);

    Drive1->installEventFilter(this);
    Dir1->installEventFilter(this);
    connect(Drive1, &QComboBox::currentIndexChanged, this, &frmBF::openDrive);
    connect(Dir1, &FolderTree::pathChanged, this, &frmBF::followFolderTree);
    connect(Dir1, &QTreeWidget::itemClicked, this, &frmBF::keepOpenFolder);
    connect(File1, &QListWidget::itemClicked, this, &frmBF::followFolderTree);
    connect(File1, &QListWidget::itemDoubleClicked, this, &frmBF::confirm);
    connect(cmdOk, &vkCommand::clicked, this, &frmBF::confirm);
    connect(cmdCancel, &vkCommand::clicked, this, &QWidget::close);
    connect(cmdOk, &vkCommand::keyPress, this, [this](int &keyAscii) {
        if (keyAscii == kEscapeCode)
            close();
    });
}

void frmBF::setFileListVisible(bool visible)
{
    File1->setVisible(visible);
}

QString frmBF::openFolder() const
{
    return File1->path();
}

void frmBF::Err_Path()
{
    Drive1->setDrive(VolumeRootOf(AbsoluteFolder(programFolder_), Drive1->roots()));
    Dir1->setPath(programFolder_);
}

void frmBF::openDrive()
{
    const QString folder = DriveFolder(Drive1->drive(), AbsoluteFolder(QDir::currentPath()), Drive1->roots());
    if (!Dir1->setPath(folder)) {
        messageBox_(u" ..!"_s);
        Drive1->update();
    }
}

void frmBF::keepOpenFolder()
{
    // A single click only selects an entry; the open folder, and so the result, stays.
    Dir1->setPath(Dir1->path());
    followFolderTree();
}

void frmBF::followFolderTree()
{
    File1->setPath(Dir1->path());
}

void frmBF::confirm()
{
    emit folderChosen(WithSeparator(File1->path()));
    close();
}

void frmBF::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        cmdOk->setFocus(Qt::ActiveWindowFocusReason);
    QWidget::changeEvent(event);
}

void frmBF::keyPressEvent(QKeyEvent *event)
{
    // Keys the controls leave alone come up here as well; Esc closes only from the window's own focus.
    const QWidget *focus = focusWidget();
    if (event->key() == Qt::Key_Escape && (focus == nullptr || focus == this)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmBF::eventFilter(QObject *watched, QEvent *event)
{
    if ((watched == Drive1 || watched == Dir1) && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        close();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
