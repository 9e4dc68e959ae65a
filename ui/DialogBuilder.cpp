#include "ui/DialogBuilder.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>

#include "ui/AccessibleNames.h"
#include "ui/TextCatalog.h"

namespace {

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent)
{
    const QString caption = Translated(control.caption);
    switch (control.kind) {
    case ControlKind::PushButton:
    case ControlKind::DefaultPushButton: {
        auto* button = new QPushButton(caption, parent);
        button->setDefault(control.kind == ControlKind::DefaultPushButton);
        return button;
    }
    case ControlKind::Label:
    case ControlKind::CentredLabel: {
        auto* label = new QLabel(caption, parent);
        label->setAlignment(control.kind == ControlKind::CentredLabel ? Qt::AlignCenter
                                                                      : Qt::AlignLeft | Qt::AlignTop);
        return label;
    }
    case ControlKind::LineEdit: {
        auto* edit = new QLineEdit(caption, parent);
        edit->setReadOnly((control.style & kReadOnly) != 0);
        return edit;
    }
    case ControlKind::MultiLineEdit: {
        auto* edit = new QPlainTextEdit(caption, parent);
        edit->setReadOnly((control.style & kReadOnly) != 0);
        edit->setLineWrapMode((control.style & kWordWrap) != 0 ? QPlainTextEdit::WidgetWidth
                                                               : QPlainTextEdit::NoWrap);
        edit->setTabChangesFocus(true);
        return edit;
    }
    case ControlKind::ListBox: {
        auto* list = new QListWidget(parent);
        list->setSelectionMode(QAbstractItemView::MultiSelection);
        return list;
    }
    case ControlKind::CheckBox:
        return new QCheckBox(caption, parent);
    }
    return nullptr;
}

bool TakesFocus(const ControlTemplate& control)
{
    return control.kind != ControlKind::Label && control.kind != ControlKind::CentredLabel &&
           (control.style & kNoTabStop) == 0;
}

}  // namespace

DialogUnits DialogUnits::ForFont(const QFont& font)
{
    // The average over the 52 letters, as dialog units have always been measured.
    static const QString kLetters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const QFontMetrics metrics(font);
    const int average = (metrics.horizontalAdvance(kLetters) / 26 + 1) / 2;
    return DialogUnits{average, metrics.height()};
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const
{
    return QRect(x * baseX / 4, y * baseY / 8, width * baseX / 4, height * baseY / 8);
}

QSize DialogUnits::ToPixels(int width, int height) const
{
    return QSize(width * baseX / 4, height * baseY / 8);
}

QHash<int, QWidget*> BuildControls(const DialogTemplate& dialog, QWidget* parent, const DialogUnits& units,
                                   QPoint origin)
{
    QHash<int, QWidget*> controls;
    QWidget* previousStop = nullptr;
    for (const ControlTemplate& control : dialog.controls) {
        QWidget* widget = CreateControl(control, parent);
        widget->setGeometry(units.ToPixels(control.x, control.y, control.width, control.height).translated(origin));
        widget->setProperty("controlId", control.id);
        if (!TakesFocus(control))
            widget->setFocusPolicy(Qt::NoFocus);
        if ((control.style & kHidden) != 0) {
            widget->setVisible(false);
            widget->setEnabled(false); // hidden controls stay unreachable, mnemonics included
        } else if (TakesFocus(control)) {
            if (previousStop != nullptr)
                QWidget::setTabOrder(previousStop, widget);
            previousStop = widget;
        }
        if (control.id != IDC_STATIC)
            controls.insert(control.id, widget);
    }
    NameControls(dialog, controls);
    return controls;
}
