#include "ui/settings/HourPanel.h"

#include "ui/styled/Twips.h"
#include "ui/styled/WindowFont.h"

#include <QEvent>
#include <QLabel>

using namespace Qt::StringLiterals;

namespace {

struct Cell {
    const char16_t *caption;
    int index;
    int left;
    int top;
    int width;
};

// The array index of a cell is not its hour: the caption is what counts; index 27 closes the panel.
constexpr Cell kCells[] = {
    {u"1", 35, 0, 0, 495},
    {u"2", 36, 480, 0, 435},
    {u"3", 37, 960, 0, 465},
    {u"4", 44, 1440, 0, 585},
    {u"5", 38, 2040, 0, 585},
    {u"6", 39, 2640, 0, 585},
    {u"7", 40, 0, 480, 465},
    {u"8", 41, 480, 480, 465},
    {u"9", 45, 960, 480, 465},
    {u"10", 42, 1440, 480, 585},
    {u"11", 1, 2040, 480, 585},
    {u"12", 2, 2640, 480, 585},
    {u"13", 3, 0, 960, 465},
    {u"14", 4, 480, 960, 465},
    {u"15", 5, 960, 960, 465},
    {u"16", 11, 1440, 960, 585},
    {u"17", 6, 2040, 960, 585},
    {u"18", 7, 2640, 960, 585},
    {u"19", 8, 0, 1440, 465},
    {u"20", 9, 480, 1440, 465},
    {u"21", 12, 960, 1440, 465},
    {u"22", 10, 1440, 1440, 585},
    {u"23", 13, 2040, 1440, 585},
    {u"00", 14, 2640, 1440, 585},
    {u"KAPAT", HourPanel::kCloseCell, 0, 1920, 3225},
};

} // namespace

HourPanel::HourPanel(QWidget *parent) : QFrame(parent)
{
    setObjectName(u"Picture1"_s);
    setAutoFillBackground(true);
    QPalette yellow = palette();
    yellow.setColor(QPalette::Window, QColor(255, 255, 192));
    setPalette(yellow);

    for (const Cell &layout : kCells) {
        const bool close = layout.index == kCloseCell;
        auto *cell = new QLabel(QString::fromUtf16(layout.caption), this);
        cell->setObjectName(u"Label1"_s);
        cell->setProperty("index", layout.index);
        cell->setGeometry(TwipsRect(layout.left, layout.top, layout.width, close ? 705 : 465));
        cell->setFrameShape(QFrame::Box);
        cell->setAlignment(Qt::AlignCenter);
        cell->setAutoFillBackground(true);
        cell->setBackgroundRole(QPalette::Base);
        cell->setFont(WindowFont(u"Times New Roman"_s, close ? 36 : 21.75, false));
        cell->installEventFilter(this);
        Label1.insert(layout.index, cell);
    }
}

QString HourPanel::hourText(const QString &caption)
{
    return caption.size() == 1 ? u'0' + caption : caption;
}

bool HourPanel::eventFilter(QObject *watched, QEvent *event)
{
    auto *cell = qobject_cast<QLabel *>(watched);
    if (cell && event->type() == QEvent::MouseButtonRelease) {
        if (cell->property("index").toInt() == kCloseCell)
            emit closeRequested();
        else
            emit picked(hourText(cell->text()));
        return true;
    }
    return QFrame::eventFilter(watched, event);
}
