#include "WindowTexts.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>
#include <QWidget>

#include "CDialogTexts.h"
#include "CStringTable.h"
#include "TextFormat.h"

namespace WindowTexts {

QString Shown(const std::string& text) {
    QString shown = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return shown;
}

QString String(int stringId) {
    return Shown(CStringTable::Load(stringId));
}

QString Formatted(int stringId, std::initializer_list<std::string> args) {
    return Shown(TextFormat::Format(CStringTable::Load(stringId), args));
}

void Apply(QWidget* dialog, int dialogId) {
    dialog->setWindowTitle(Shown(CDialogTexts::Load(dialogId, CDialogTexts::kTitle)));
    for (QWidget* child : dialog->findChildren<QWidget*>()) {
        const QVariant id = child->property("controlId");
        if (!id.isValid()) {
            continue;
        }
        const QString text = Shown(CDialogTexts::Load(dialogId, id.toInt()));
        if (auto* button = qobject_cast<QAbstractButton*>(child)) {
            button->setText(text);
        } else if (auto* label = qobject_cast<QLabel*>(child)) {
            label->setText(text);
        } else if (auto* box = qobject_cast<QGroupBox*>(child)) {
            box->setTitle(text);
        }
    }
}

}  // namespace WindowTexts
