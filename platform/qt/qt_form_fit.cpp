// Whether each control shows its text whole: the faces that stand in for the Windows ones may run
// wider or taller than the room the window's definition gives.
#include <QAbstractButton>
#include <QCalendarWidget>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTabWidget>

#include "platform/qt/qt_form_view.h"
#include "platform/qt/qt_frame.h"
#include "platform/qt/qt_units.h"

namespace qm::qt {

using ui::Kind;

namespace {

// The longest list that is measured row by row.
constexpr int kMeasuredRows = 1000;

QString sizeText(QSize size) {
    return QStringLiteral("%1x%2").arg(size.width()).arg(size.height());
}

// The size a push button needs for its text: the style's margins around it.
QSize buttonNeeds(const QAbstractButton& button) {
    const QStyle* style = button.style();
    const int margins =
        style->pixelMetric(QStyle::PM_ButtonMargin) + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    const QFontMetrics metrics = button.fontMetrics();
    return {metrics.horizontalAdvance(button.text()) + margins, metrics.height() + margins};
}

// The widest row of a list box, with the margins the view draws its text within, against the
// room it has with its vertical scroll bar showing.
std::optional<QString> clippedRow(const QListView& list) {
    const int margin = list.style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, &list) + 1;
    const int room = list.width() - 2 * list.frameWidth() - list.verticalScrollBar()->sizeHint().width();
    const QFontMetrics metrics = list.fontMetrics();
    const int rows = std::min(list.model()->rowCount(), kMeasuredRows);
    for (int row = 0; row < rows; ++row) {
        const QString text = list.model()->index(row, 0).data().toString();
        const int needs = metrics.horizontalAdvance(text) + 2 * margin;
        if (needs > room)
            return QStringLiteral("row %1 \"%2\" needs %3 px, has %4 beside the scroll bar")
                .arg(row)
                .arg(text)
                .arg(needs)
                .arg(room);
    }
    return std::nullopt;
}

}  // namespace

QStringList FormView::clippedTexts() const {
    QStringList out;
    for (const auto& view : views_) {
        QWidget* w = view->widget;
        if (!w || view->menu || view->control->kind() == Kind::Image) continue;
        const QString name = qs(view->control->name());
        QSize needs;
        switch (view->control->kind()) {
            case Kind::Label:
            case Kind::Option:
                // The width of the text (and an option's circle), and the height of its line.
                needs = QSize(w->sizeHint().width(), w->fontMetrics().height());
                break;
            case Kind::Button:
                needs = buttonNeeds(*static_cast<QAbstractButton*>(w));
                break;
            case Kind::Frame: {
                const QRect title = static_cast<FrameBox*>(w)->titleRect();
                needs = {title.width() + 2 * title.left(), title.height()};
                // The title stays above the controls in the frame.
                for (const QWidget* child : w->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
                    if (child->geometry().intersects(title))
                        out << QStringLiteral("%1's title reaches into the control at %2,%3")
                                   .arg(name)
                                   .arg(child->x())
                                   .arg(child->y());
                }
                break;
            }
            case Kind::ComboBox: {
                const QLineEdit* edit = static_cast<QComboBox*>(w)->lineEdit();
                // QLineEdit keeps two pixels free on either side of its text.
                const QSize text(edit->fontMetrics().horizontalAdvance(edit->text()) + 4,
                                 edit->fontMetrics().height());
                if (text.width() > edit->width() || text.height() > edit->height())
                    out << QStringLiteral("%1 \"%2\" needs %3, has %4")
                               .arg(name, edit->text(), sizeText(text), sizeText(edit->size()));
                continue;
            }
            case Kind::ListBox:
                if (auto row = clippedRow(*static_cast<QListView*>(w))) out << name + QLatin1Char(' ') + *row;
                continue;
            case Kind::TabStrip:
                needs = QSize(static_cast<QTabWidget*>(w)->tabBar()->sizeHint().width(), 0);
                break;
            case Kind::Calendar:
                if (auto* bar = w->findChild<QWidget*>(QStringLiteral("qt_calendar_navigationbar")))
                    needs = QSize(bar->sizeHint().width(), 0);
                break;
            default:
                continue;
        }
        QString text;
        if (auto* label = qobject_cast<QLabel*>(w)) text = label->text();
        if (auto* button = qobject_cast<QAbstractButton*>(w)) text = button->text();
        if (auto* frame = dynamic_cast<FrameBox*>(w)) text = frame->title();
        // Within its own rectangle, and its rectangle within its container: an auto-sized label
        // grows, and may grow past the window's edge.
        const QRect room = w->parentWidget() ? w->parentWidget()->rect() : QRect(QPoint(), w->size());
        const QRect used(w->pos(), needs.expandedTo(QSize(0, 0)));
        if (needs.width() > w->width() || needs.height() > w->height() || !room.contains(used))
            out << QStringLiteral("%1 \"%2\" needs %3 at %4,%5, has %6 in %7")
                       .arg(name, text, sizeText(needs))
                       .arg(w->x())
                       .arg(w->y())
                       .arg(sizeText(w->size()), sizeText(room.size()));
    }
    return out;
}

}  // namespace qm::qt
