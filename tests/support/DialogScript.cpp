#include "DialogScript.h"

using Dialogs::Answer;
using Dialogs::Button;
using Dialogs::Kind;

namespace {
QString kindName(Kind k) {
    switch (k) {
    case Kind::MessageBox:
        return QStringLiteral("box");
    case Kind::Warning:
        return QStringLiteral("warning");
    case Kind::Error:
        return QStringLiteral("error");
    case Kind::Information:
        return QStringLiteral("information");
    case Kind::Confirmation:
        return QStringLiteral("confirmation");
    case Kind::InputPrompt:
        return QStringLiteral("prompt");
    case Kind::SaveFile:
        return QStringLiteral("save");
    }
    return {};
}

QString describe(const Dialogs::Request& r) {
    QStringList b;
    for (Button x : r.buttons)
        b << Dialogs::caption(x);
    return QStringLiteral("%1 [%2] \"%3\" (%4)")
        .arg(kindName(r.kind), r.title, r.text, b.join(QLatin1Char('|')));
}
} // namespace

DialogScript::DialogScript() : m_previous(Dialogs::handler()) {
    Dialogs::setHandler(this);
}

DialogScript::~DialogScript() {
    Dialogs::setHandler(m_previous);
}

DialogScript& DialogScript::box(const QString& title, const QString& text) {
    m_queue << Expect{Kind::MessageBox, title, text, {Button::Ok, {}}, false, {}};
    return *this;
}

DialogScript& DialogScript::dlg(Kind kind, const QString& text, Button answer,
                                const QList<Button>& buttons) {
    m_queue << Expect{kind,         Dialogs::standardTitle(kind), text,
                      {answer, {}}, !buttons.isEmpty(),           buttons};
    return *this;
}

DialogScript& DialogScript::prompt(const QString& title, const QString& text, bool ok) {
    m_queue << Expect{
        Kind::InputPrompt, title, QString(), {ok ? Button::Ok : Button::Cancel, text}, false, {}};
    return *this;
}

DialogScript& DialogScript::save(const QString& path) {
    m_queue << Expect{Kind::SaveFile, QString(),
                      QString(),      {path.isEmpty() ? Button::Cancel : Button::Ok, path},
                      false,          {}};
    return *this;
}

Answer DialogScript::handle(const Dialogs::Request& r) {
    m_seen << r;
    if (m_queue.isEmpty()) {
        if (!m_allowAny)
            m_failures << QStringLiteral("unexpected dialog: ") + describe(r);
        return {};
    }
    const Expect e = m_queue.takeFirst();
    bool match = e.kind == r.kind;
    if (e.kind != Kind::SaveFile)
        match = match && e.title == r.title;
    if (e.kind != Kind::InputPrompt && e.kind != Kind::SaveFile)
        match = match && e.text == r.text;
    if (e.checkButtons)
        match = match && e.buttons == r.buttons;
    if (!match) {
        Dialogs::Request want;
        want.kind = e.kind;
        want.title = e.title;
        want.text = e.text;
        want.buttons = e.buttons;
        m_failures << QStringLiteral("expected %1, got %2").arg(describe(want), describe(r));
        return {};
    }
    return e.answer;
}

QString DialogScript::report() const {
    QStringList out = m_failures;
    for (const Expect& e : m_queue)
        out << QStringLiteral("still expected: %1 [%2] \"%3\"")
                   .arg(kindName(e.kind), e.title, e.text);
    return out.join(QLatin1Char('\n'));
}

void DialogScript::clear() {
    m_queue.clear();
    m_seen.clear();
    m_failures.clear();
    m_beeps = 0;
}
