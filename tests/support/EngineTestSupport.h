#pragma once

#include "core/BatchOrder.h"
#include "core/ConversionBatch.h"
#include "engine/ConversionEngine.h"
#include "gui/windows/BatchPresenter.h"

#include <QList>
#include <QMessageBox>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

// How many files the batch suites convert at once: $TARVINE_TEST_CONVERSIONS,
// or one. Each suite runs once with one and once with three.
int TestConversionsAtOnce();
// The cores the suites' engines share: as many as the runs at once, on a
// machine with fewer.
int TestCores();

// The main window's side of the engine, with its state in the open, and
// the presenter that shows the engine over its window.
class TestHost {
public:
    TestHost() { settings.conversionsAtOnce = TestConversionsAtOnce(); }
    // The order a Convert gives: the settings with the folder box's text, and the listed files.
    BatchOrder Order() const;
    // The presenter shows the engine, and each ended batch's entries are kept.
    void Follow(ConversionEngine& engine);

    // Lists a file as if its probe had reported these values.
    void List(const std::string& path, double seconds, int width = 320, int height = 240, double fps = 25.0);

    QWidget window;
    BatchPresenter presenter{window};
    QString folderText;
    ConversionSettings settings;
    SourceList sources;
    std::vector<BatchEntry> endedEntries;
};

// Answers every message box as it appears, recording what it said: with the
// queued answers in order, then with Ok (or No where there is no Ok).
// `onShow` runs as each box appears, to look at the program at that moment.
class MessageBoxResponder : public QObject {
public:
    struct Box {
        QString text;
        QMessageBox::Icon icon;
        QString caption;
        QString details;  // the details section's text
        int width = 0;    // as laid out for the screen
    };

    MessageBoxResponder();
    ~MessageBoxResponder() override;

    void Answer(QMessageBox::StandardButton button) { m_answers.append(button); }
    const QList<Box>& Shown() const { return m_shown; }
    QStringList Texts() const;

    std::function<void()> onShow;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QMessageBox::StandardButton> m_answers;
    QList<Box> m_shown;
};
