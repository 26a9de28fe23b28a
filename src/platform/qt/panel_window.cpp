#include "platform/qt/panel_window.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QSet>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QVBoxLayout>
#include <algorithm>
#include <string>
#include <vector>

#include "platform/qt/control_factory.h"
#include "platform/qt/control_view.h"
#include "platform/qt/menu_bar.h"
#include "platform/qt/panel_style.h"
#include "platform/qt/qt_text.h"
#include "platform/user_interface.h"

namespace korvel::qtview {
namespace {

using resource::ControlDef;
using resource::ControlKind;

constexpr std::string_view kActionsGroup = "actions";

bool is_group_frame(const ControlDef& c) {
    return c.kind == ControlKind::Decoration && c.layout.row < 0;
}

// Controls of one group in reading order.
std::vector<const ControlDef*> members(const resource::PanelDef& panel, std::string_view group) {
    std::vector<const ControlDef*> out;
    for (const auto& c : panel.controls)
        if (c.layout.group == group && !is_group_frame(c) && c.kind != ControlKind::Timer)
            out.push_back(&c);
    std::stable_sort(out.begin(), out.end(), [](const ControlDef* a, const ControlDef* b) {
        return a->layout.row != b->layout.row ? a->layout.row < b->layout.row
                                              : a->layout.column < b->layout.column;
    });
    return out;
}

// A one-line field as wide as `chars` digits need in its own font and style, with one digit more
// for the text cursor and glyphs that overhang their advance.
void fit_width(QWidget* w, int chars) {
    auto* edit = qobject_cast<QLineEdit*>(w);
    if (edit == nullptr) return;
    const QFontMetrics fm(edit->font());
    const QMargins text = edit->textMargins();
    const QMargins contents = edit->contentsMargins();
    constexpr int kInnerMargin = 2;  // QLineEdit's own margin each side of the text
    const int inner = fm.horizontalAdvance(QString(chars + 1, QLatin1Char('0'))) + 2 * kInnerMargin +
                      text.left() + text.right() + contents.left() + contents.right();
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QSize outer = edit->style()->sizeFromContents(
        QStyle::CT_LineEdit, &option, QSize(inner, edit->sizeHint().height()), edit);
    edit->setFixedWidth(outer.width());
}

void scale_font(QWidget* w, double factor, bool bold) {
    QFont f = w->font();
    if (f.pointSizeF() > 0) f.setPointSizeF(f.pointSizeF() * factor);
    f.setBold(bold);
    w->setFont(f);
}

}  // namespace

PanelWindow::PanelWindow(int handle, const resource::PanelDef& def, QWidget* parent)
    : QWidget(parent, Qt::Window), handle_(handle), def_(def) {
    setObjectName(to_qstring(def.constant));
    setAttribute(Qt::WA_DeleteOnClose, false);
    build();
}

void PanelWindow::build() {
    auto* outer = new QVBoxLayout(this);
    if (def_.has_menu_bar) {
        menu_bar_ = build_menu_bar(handle_, this);
        outer->setMenuBar(menu_bar_);
    }
    auto* grid = new QGridLayout;
    outer->addLayout(grid, 1);

    int last_row = 0;
    for (const auto& group : def_.groups) {
        grid->addWidget(buildGroup(group), group.row, group.column, group.row_span,
                        group.column_span);
        last_row = std::max(last_row, group.row + group.row_span);
    }

    // Anything the layout does not place still appears, in a block of its own at the bottom.
    std::vector<const ControlDef*> unplaced;
    for (const auto& c : def_.controls) {
        const bool known = std::any_of(def_.groups.begin(), def_.groups.end(),
                                       [&](const auto& g) { return g.name == c.layout.group; });
        if (c.kind == ControlKind::Timer) {
            views_.insert(c.id, make_control_view(handle_, c, this, this));
        } else if (!known) {
            unplaced.push_back(&c);
        }
    }
    if (!unplaced.empty()) {
        auto* box = new QWidget(this);
        auto* g = new QGridLayout(box);
        int row = 0;
        for (const ControlDef* c : unplaced) {
            ControlView* v = make_control_view(handle_, *c, box, this);
            views_.insert(c->id, v);
            if (v->label() != nullptr) g->addWidget(v->label(), row, 0);
            g->addWidget(v->editor(), row++, 1);
            styleControl(v, false);
        }
        grid->addWidget(box, last_row, 0, 1, std::max(1, grid->columnCount()));
    }
}

QWidget* PanelWindow::buildGroup(const resource::GroupDef& group) {
    const ControlDef* frame_def = nullptr;
    for (const auto& c : def_.controls)
        if (c.layout.group == group.name && is_group_frame(c)) frame_def = &c;

    std::string_view caption = group.title;
    if (caption.empty()) caption = group_caption(def_.constant, group.name);

    QWidget* container = nullptr;
    if (frame_def != nullptr) {
        ControlView* frame = make_control_view(handle_, *frame_def, this, this);
        views_.insert(frame_def->id, frame);
        container = frame->editor();
    } else if (!caption.empty() || group_framed(def_.constant, group.name)) {
        auto* frame = new QFrame(this);
        frame->setFrameShape(QFrame::StyledPanel);
        container = frame;
    } else {
        container = new QWidget(this);
    }
    container->setObjectName(QStringLiteral("group_") + to_qstring(group.name));
    const bool framed = qobject_cast<QFrame*>(container) != nullptr;

    const auto controls = members(def_, group.name);
    if (group.name == kActionsGroup) {
        // The panel's own buttons sit in one row at the bottom right.
        auto* row = new QHBoxLayout(container);
        row->addStretch(1);
        for (const ControlDef* c : controls) {
            ControlView* v = make_control_view(handle_, *c, container, this);
            views_.insert(c->id, v);
            if (v->label() != nullptr) row->addWidget(v->label());
            row->addWidget(v->editor());
            styleControl(v, false);
        }
        return container;
    }

    auto* grid = new QGridLayout(container);
    grid->setVerticalSpacing(grid->verticalSpacing() + 2);
    const int title_rows = caption.empty() ? 0 : 1;
    if (title_rows != 0) {
        auto* title = new QLabel(to_qstring(caption), container);
        scale_font(title, 1.0, true);
        grid->addWidget(title, 0, 0, 1, -1);
    }
    std::vector<ControlView*> views;
    QHash<int, int> labelled_in_column;  // logical column -> controls with a form label there
    for (const ControlDef* c : controls) {
        ControlView* v = make_control_view(handle_, *c, container, this);
        views_.insert(c->id, v);
        views.push_back(v);
        if (v->label() != nullptr) ++labelled_in_column[c->layout.column];
    }
    int max_row = 0, max_col = 0;
    QSet<int> fitted_columns;  // logical columns whose field keeps its own width
    for (ControlView* v : views) {
        const ControlDef& c = v->def();
        const auto& L = c.layout;
        const int row = L.row + title_rows;
        const int col = 2 * L.column;
        const int span = 2 * std::max(1, L.column_span);
        const int rows = std::max(1, L.row_span);
        if (v->label() != nullptr && labelled_in_column.value(L.column) > 1) {
            // Several labelled controls in one column: labels right-aligned in a column of
            // their own, so that the fields line up.
            const bool tall = c.kind == ControlKind::TextBox;
            grid->addWidget(v->label(), row, col, rows, 1,
                            Qt::AlignRight | (tall ? Qt::AlignTop : Qt::AlignVCenter));
            grid->addWidget(v->editor(), row, col + 1, rows, span - 1);
        } else if (v->label() != nullptr) {
            // A lone labelled control keeps its label beside it and leaves the column free.
            auto* cell = new QWidget(container);
            auto* line = new QHBoxLayout(cell);
            line->setContentsMargins(0, 0, 0, 0);
            line->addWidget(v->label(), 0,
                            c.kind == ControlKind::TextBox ? Qt::AlignTop : Qt::Alignment());
            line->addWidget(v->editor(), 1);
            grid->addWidget(cell, row, col, rows, span);
        } else {
            grid->addWidget(v->editor(), row, col, rows, span);
        }
        max_row = std::max(max_row, row + rows);
        max_col = std::max(max_col, col + span);
        styleControl(v,
                     framed && caption.empty() && L.row == 0 && c.kind == ControlKind::TextMessage);
        if (const int chars = fitted_width_chars(def_.constant, c.constant); chars > 0) {
            fit_width(v->editor(), chars);
            if (L.column_span <= 1) fitted_columns.insert(L.column);
        }
    }
    // Editor columns share the spare width, except where a field keeps its own; surplus height
    // goes below the controls.
    for (int col = 1; col < max_col; col += 2)
        grid->setColumnStretch(col, fitted_columns.contains(col / 2) ? 0 : 1);
    grid->setRowStretch(max_row, 1);
    return container;
}

void PanelWindow::styleControl(ControlView* view, bool heading_position) {
    QWidget* w = view->editor();
    if (w == nullptr) return;
    switch (emphasis_of(def_.constant, view->def().constant, heading_position)) {
        case Emphasis::Title:
            scale_font(w, 2.0, true);
            break;
        case Emphasis::Subtitle:
            scale_font(w, 1.25, true);
            break;
        case Emphasis::Heading:
            scale_font(w, 1.0, true);
            break;
        case Emphasis::Alert: {
            scale_font(w, 1.0, true);
            QPalette p = w->palette();
            p.setColor(QPalette::WindowText, QColor(0xC0, 0x00, 0x00));
            w->setPalette(p);
            break;
        }
        case Emphasis::Status:
            scale_font(w, 1.0, true);
            [[fallthrough]];
        case Emphasis::Indicator:
            if (auto* edit = qobject_cast<QLineEdit*>(w)) edit->setReadOnly(true);
            break;
        case Emphasis::Note:
            if (auto* label = qobject_cast<QLabel*>(w)) label->setWordWrap(true);
            break;
        case Emphasis::Columns: {
            // The calibration grid's four groups of four line up only in a fixed-width font;
            // the field shows its 21 characters whole.
            QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
            if (w->font().pointSizeF() > 0) f.setPointSizeF(w->font().pointSizeF());
            w->setFont(f);
            if (auto* edit = qobject_cast<QLineEdit*>(w))
                edit->setMinimumWidth(
                    QFontMetrics(f).horizontalAdvance(QString(24, QLatin1Char('0'))));
            break;
        }
        case Emphasis::None:
            break;
    }
}

int PanelWindow::controlOf(const QWidget* w) const {
    for (const QWidget* p = w; p != nullptr && p != this; p = p->parentWidget()) {
        for (auto it = views_.cbegin(); it != views_.cend(); ++it) {
            ControlView* v = it.value();
            if (v->def().kind == ControlKind::Decoration) continue;  // frames contain others
            if (v->editor() == p || v->focusTarget() == p) return it.key();
        }
    }
    return 0;
}

void PanelWindow::refreshAll() {
    std::string title;
    if (GetPanelAttribute(handle_, ATTR_TITLE, &title) >= 0)
        setWindowTitle(QString::fromStdString(title));
    for (ControlView* v : std::as_const(views_)) v->refreshAll();
}

void PanelWindow::closeEvent(QCloseEvent* event) {
    // The window stays until the program discards its panel.
    event->ignore();
    emit closeRequested(handle_);
}

}  // namespace korvel::qtview
