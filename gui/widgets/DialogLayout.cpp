#include "gui/widgets/DialogLayout.h"

#include "gui/widgets/ListRowDelegate.h"
#include "gui/widgets/ResizeAnchors.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QTabBar>
#include <QTreeView>

#include <algorithm>

namespace {

QString Text(const ControlTemplate& control) { return QString::fromStdString(control.text); }

// Dialog units of two text lines.
constexpr int kTwoLines = 16;

bool IsOneLineLabel(const QWidget* widget) {
    auto* label = qobject_cast<const QLabel*>(widget);
    return label && !label->wordWrap() && !label->text().isEmpty();
}

Qt::Alignment LabelAlignment(unsigned style) {
    Qt::Alignment horizontal = (style & StyleCenter)  ? Qt::AlignHCenter
                               : (style & StyleRight) ? Qt::AlignRight
                                                      : Qt::AlignLeft;
    return horizontal | ((style & StyleCenterImage) ? Qt::AlignVCenter : Qt::AlignTop);
}

// Pixels of a box that its text cannot use: frame, padding and the arrow.
int ComboOverhead(const QComboBox& box) {
    QStyleOptionComboBox option;
    option.initFrom(&box);
    option.editable = box.isEditable();
    QRect field = box.style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, &box);
    return box.width() - field.width();
}

// Changes a top-level dialog's width, fixed or not.
void SetDialogSize(QWidget& dialog, QSize size) {
    bool fixed = dialog.minimumSize() == dialog.maximumSize();
    if (fixed) {
        dialog.setFixedSize(size);
        return;
    }
    dialog.setMinimumSize(dialog.minimumSize().expandedTo(size));
    dialog.resize(dialog.size().expandedTo(size));
}

constexpr int kLeastMargin = 7;

// A control whose right edge lies this close to a box's is taken to end
// with it (dialog units round to pixels one control at a time).
constexpr int kEdgeSlack = 2;

QFrame* Line(const ControlTemplate& control, QWidget* parent, QFrame::Shadow shadow) {
    auto* line = new QFrame(parent);
    line->setFrameShape(control.width >= control.height ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(shadow);
    return line;
}

}  // namespace

QFont DialogLayout::DialogFont(const DialogTemplate& dialogTemplate) {
    QString face = QString::fromStdString(dialogTemplate.fontFace);
    QFont font(face);
    // The font system may know a metric-compatible stand-in (Arial is often
    // installed as Liberation Sans or Nimbus Sans); a face it only answers
    // with its generic sans-serif gets the desktop's font instead.
    bool standIn = QFontInfo(font).family() != QFontInfo(QFont(QStringLiteral("sans-serif"))).family();
    if (!QFontDatabase::hasFamily(face) && !standIn) font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    font.setPointSize(dialogTemplate.pointSize);
    return font;
}

DialogLayout::DialogLayout(QDialog& dialog, const DialogTemplate& dialogTemplate, const Factory& factory) {
    QFont font = DialogFont(dialogTemplate);
    dialog.setFont(font);
    m_baseUnits = BaseUnitsOf(font);
    dialog.setWindowTitle(QString::fromStdString(dialogTemplate.caption));

    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (dialogTemplate.style & DialogSystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (dialogTemplate.style & DialogMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
    if (dialogTemplate.style & DialogAppWindow) flags = (flags & ~Qt::Dialog) | Qt::Window;
    const QSize templateSize = ToPixels(0, 0, dialogTemplate.width, dialogTemplate.height).size();
    ResizeAnchors* anchors = nullptr;
    if (dialogTemplate.style & DialogResizable) {
        flags |= Qt::WindowMaximizeButtonHint;
        dialog.setMinimumSize(templateSize);
        dialog.resize(templateSize);
        anchors = new ResizeAnchors(dialog);
    } else {
        dialog.setFixedSize(templateSize);
    }
    dialog.setWindowFlags(flags);

    for (const ControlTemplate& control : dialogTemplate.controls) {
        QWidget* widget = factory ? factory(control, &dialog) : nullptr;
        if (!widget) widget = CreateStandard(control, &dialog);
        if (control.id != kNoId) widget->setObjectName(QStringLiteral("control%1").arg(control.id));
        widget->setProperty("controlId", control.id);
        widget->setEnabled(!(control.style & StyleDisabled));
        if (!(control.style & StyleTabStop) && widget->focusPolicy() != Qt::NoFocus)
            widget->setFocusPolicy(Qt::ClickFocus);
        Place(widget, control);
        if (anchors) anchors->Add(widget, control.anchor);
        widget->setVisible(!(control.style & StyleHidden));
        if (control.id != kNoId) m_controls.insert(control.id, widget);
        if (control.page > 0) m_paged.append({widget, control.page});
    }
    for (const ListInit& list : dialogTemplate.lists) {
        if (auto* combo = Bind<QComboBox>(list.id)) {
            for (const std::string& entry : list.entries) combo->addItem(QString::fromStdString(entry));
        }
        if (auto* tabs = Bind<QTabBar>(list.id)) {
            for (const std::string& entry : list.entries) tabs->addTab(QString::fromStdString(entry));
            ShowPagesOf(*tabs);
        }
    }
    GrowToHoldControls(dialog, dialogTemplate);
}

// Each page's controls show while its tab is the current one; those of
// page 0 show on every page.
void DialogLayout::ShowPagesOf(QTabBar& tabs) const {
    auto show = [paged = m_paged](int index) {
        for (const auto& [widget, page] : paged)
            if (widget) widget->setVisible(page == index + 1);
    };
    QObject::connect(&tabs, &QTabBar::currentChanged, &tabs, show);
    show(tabs.currentIndex());
}

// Texts longer in the desktop's font than in the template's may have grown
// their controls past the dialog's edge; the dialog grows to keep its margin.
void DialogLayout::GrowToHoldControls(QDialog& dialog, const DialogTemplate& dialogTemplate) const {
    QRect planned;
    for (const ControlTemplate& control : dialogTemplate.controls)
        planned |= ToPixels(control.x, control.y, control.width, control.height);
    QSize size = dialog.size();
    // At least the usual margin of seven dialog units: a text that grew
    // must not run into the dialog's edge.
    QSize least = ToPixels(0, 0, kLeastMargin, kLeastMargin).size();
    QSize margin(std::max(least.width(), size.width() - planned.right() - 1),
                 std::max(least.height(), size.height() - planned.bottom() - 1));
    QRect placed;
    for (QWidget* control : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (control->property("controlId").isValid()) placed |= control->geometry();
    QSize needed(placed.right() + 1 + margin.width(), placed.bottom() + 1 + margin.height());
    if (needed.width() > size.width() || needed.height() > size.height())
        SetDialogSize(dialog, size.expandedTo(needed));
}

void DialogLayout::WidenToFit(QComboBox& box, const QStringList& texts) {
    QWidget* dialog = box.parentWidget();
    int longest = 0;
    for (const QString& text : texts) longest = std::max(longest, box.fontMetrics().horizontalAdvance(text));
    // A little room beyond the text's advance, as the box draws it inset.
    int delta = longest + ComboOverhead(box) + box.fontMetrics().averageCharWidth() - box.width();
    if (delta <= 0 || !dialog) return;
    int edge = box.geometry().right() + 1;
    for (QWidget* control : dialog->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        QRect rect = control->geometry();
        if (rect.left() >= edge - kEdgeSlack)
            rect.translate(delta, 0);
        else if (rect.right() + 1 >= edge - kEdgeSlack)
            rect.setWidth(rect.width() + delta);
        control->setGeometry(rect);
    }
    SetDialogSize(*dialog, dialog->size() + QSize(delta, 0));
}

QSize DialogLayout::BaseUnitsOf(const QFont& font) {
    QFontMetrics metrics(font);
    int width = metrics.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return QSize((width / 26 + 1) / 2, metrics.height());
}

int DialogLayout::ScaledPixels(int pixels, const QFont& font) {
    return pixels * BaseUnitsOf(font).width() / kTemplateFontCharWidth;
}

QWidget* DialogLayout::Control(int id) const { return m_controls.value(id, nullptr); }

QRect DialogLayout::ToPixels(int x, int y, int width, int height) const {
    auto horizontal = [this](int units) { return units * m_baseUnits.width() / 4; };
    auto vertical = [this](int units) { return units * m_baseUnits.height() / 8; };
    return QRect(horizontal(x), vertical(y), horizontal(width), vertical(height));
}

QWidget* DialogLayout::CreateStandard(const ControlTemplate& control, QWidget* parent) const {
    switch (control.kind) {
    case ControlKind::Static: {
        auto* label = new QLabel(Text(control), parent);
        label->setAlignment(LabelAlignment(control.style));
        // A label one line high never wraps: wrapping would only hide words.
        label->setWordWrap(!(control.style & StyleCenterImage) && control.height >= kTwoLines);
        return label;
    }
    case ControlKind::Edit: return new QLineEdit(Text(control), parent);
    case ControlKind::PushButton:
    case ControlKind::OwnerDrawButton: {
        auto* button = new QPushButton(Text(control), parent);
        button->setAutoDefault(false);
        return button;
    }
    case ControlKind::DefaultPushButton: {
        auto* button = new QPushButton(Text(control), parent);
        button->setDefault(true);
        return button;
    }
    case ControlKind::CheckBox: return new QCheckBox(Text(control), parent);
    case ControlKind::DropDownList: return new QComboBox(parent);
    case ControlKind::ListView: {
        auto* list = new QTreeView(parent);
        list->setRootIsDecorated(false);
        list->setItemsExpandable(false);
        list->setUniformRowHeights(true);
        list->setAllColumnsShowFocus(true);
        list->setSelectionBehavior(QAbstractItemView::SelectRows);
        list->setSelectionMode((control.style & StyleSingleSelection) ? QAbstractItemView::SingleSelection
                                                                      : QAbstractItemView::ExtendedSelection);
        list->header()->setStretchLastSection(false);
        list->header()->setSectionsMovable(false);
        list->setItemDelegate(new ListRowDelegate(list));
        return list;
    }
    case ControlKind::Trackbar: {
        auto* slider = new QSlider(Qt::Horizontal, parent);
        slider->setTickPosition((control.style & StyleNoTicks) ? QSlider::NoTicks : QSlider::TicksBelow);
        return slider;
    }
    case ControlKind::ProgressBar: {
        auto* bar = new QProgressBar(parent);
        bar->setTextVisible(false);
        return bar;
    }
    case ControlKind::EtchedLine:
    case ControlKind::SunkenLine: return Line(control, parent, QFrame::Sunken);
    case ControlKind::Icon: return new QLabel(parent);
    case ControlKind::Panel: {
        auto* panel = new QFrame(parent);
        panel->setFrameShape(QFrame::NoFrame);
        return panel;
    }
    case ControlKind::TabBar: {
        auto* tabs = new QTabBar(parent);
        tabs->setDrawBase(true);
        tabs->setExpanding(false);
        return tabs;
    }
    }
    return new QWidget(parent);
}

void DialogLayout::Place(QWidget* widget, const ControlTemplate& control) const {
    QRect rect = ToPixels(control.x, control.y, control.width, control.height);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) {
        // The template gives the dropped-down height; the closed box is one line.
        int rowHeight = std::max(1, combo->fontMetrics().height() + 4);
        combo->setMaxVisibleItems(std::max(1, rect.height() / rowHeight));
        rect.setHeight(std::max(combo->sizeHint().height(), ToPixels(0, 0, 0, 12).height()));
    }
    // A one-line text that the stand-in font makes longer than its box grows
    // to the right instead of being cut off.
    if (qobject_cast<QCheckBox*>(widget) || IsOneLineLabel(widget))
        rect.setWidth(std::max(rect.width(), widget->sizeHint().width()));
    // A wrapped text grows downwards instead.
    if (auto* label = qobject_cast<QLabel*>(widget); label && label->wordWrap())
        rect.setHeight(std::max(rect.height(), label->heightForWidth(rect.width())));
    widget->setGeometry(rect);
}
