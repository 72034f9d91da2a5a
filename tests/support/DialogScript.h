#pragma once

#include "platform/dialogs/Dialogs.h"

#include <QList>
#include <QString>

// A queue of expected dialogs with their answers, in place of the real windows while it lives.
// A dialog that was not expected, or that differs from the expectation, is recorded as a
// failure and answered with no button; check ok() (or failures()) at the end of the test.
class DialogScript : public Dialogs::Handler {
public:
    DialogScript();
    ~DialogScript() override;

    struct Expect {
        Dialogs::Kind kind;
        QString title;
        QString text;
        Dialogs::Answer answer;
        bool checkButtons = false;
        QList<Dialogs::Button> buttons;
    };

    // Expect a plain message box with this title and text (answered OK).
    DialogScript& box(const QString& title, const QString& text);
    // Expect a standard dialog of the kind with this text, answered with `answer`.
    DialogScript& dlg(Dialogs::Kind kind, const QString& text, Dialogs::Button answer,
                      const QList<Dialogs::Button>& buttons = {});
    // Expect an input prompt with this title, answered OK with `text`, or Cancela.
    DialogScript& prompt(const QString& title, const QString& text, bool ok = true);
    // Expect a save dialog answered with `path` (empty: cancelled).
    DialogScript& save(const QString& path);
    // Accept any dialog of any kind (answered with no button); for tests that do not care.
    void allowAny(bool allow) { m_allowAny = allow; }

    Dialogs::Answer handle(const Dialogs::Request& request) override;
    void beep() override { ++m_beeps; }

    int beeps() const { return m_beeps; }
    void resetBeeps() { m_beeps = 0; }
    int pending() const { return int(m_queue.size()); }
    QStringList failures() const { return m_failures; }
    // No failure and nothing left expected.
    bool ok() const { return m_failures.isEmpty() && m_queue.isEmpty(); }
    // Everything asked so far, for assertions on what was shown.
    const QList<Dialogs::Request>& seen() const { return m_seen; }
    // A readable account of failures and of what is still expected.
    QString report() const;
    void clear();

private:
    QList<Expect> m_queue;
    QList<Dialogs::Request> m_seen;
    QStringList m_failures;
    int m_beeps = 0;
    bool m_allowAny = false;
    Dialogs::Handler* m_previous = nullptr;
};

// QVERIFY2 with the script's report.
#define VERIFY_SCRIPT(s) QVERIFY2((s).ok(), qPrintable((s).report()))
