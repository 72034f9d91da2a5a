#include "platform/widgets/SelectOnEntry.h"

#include <QEvent>
#include <QFocusEvent>
#include <QLineEdit>

namespace {

class SelectOnEntryFilter : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            switch (static_cast<QFocusEvent*>(event)->reason()) {
            case Qt::TabFocusReason:
            case Qt::BacktabFocusReason:
            case Qt::ShortcutFocusReason:
            case Qt::OtherFocusReason:
                static_cast<QLineEdit*>(watched)->selectAll();
                break;
            default:
                break;
            }
        }
        return false;
    }
};

} // namespace

void selectOnEntry(QLineEdit* edit) {
    edit->installEventFilter(new SelectOnEntryFilter(edit));
}
