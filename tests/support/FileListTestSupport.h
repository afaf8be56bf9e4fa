#pragma once

#include "EngineTestSupport.h"
#include "core/AppProfile.h"
#include "gui/res/CommandIds.h"
#include "gui/windows/CConverterDlg.h"

#include <QApplication>
#include <QDropEvent>
#include <QIcon>
#include <QImage>
#include <QLineEdit>
#include <QMimeData>
#include <QStringList>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUrl>

#include <memory>

// A main window with its settings in a folder of its own, so nothing of the
// user's is read or written, converting as many files at once as the batch
// suites do.
class WindowUnderTest {
public:
    WindowUnderTest() : m_window(std::make_unique<CConverterDlg>(SettingsStore(Folder(), Folder() + "user/"))) {
        m_window->Settings().conversionsAtOnce = TestConversionsAtOnce();
    }

    CConverterDlg& operator*() { return *m_window; }
    CConverterDlg* operator->() { return m_window.get(); }

    QTreeView* List() const { return m_window->findChild<QTreeView*>(QStringLiteral("control%1").arg(IDC_FILE_LIST)); }
    int RowCount() const { return List()->model()->rowCount(); }
    QModelIndex Cell(int row, int column) const { return List()->model()->index(row, column); }
    QString Text(int row, int column) const { return Cell(row, column).data().toString(); }
    QString Tooltip(int row, int column) const { return Cell(row, column).data(Qt::ToolTipRole).toString(); }
    // Whether the row shows an outcome's icon.
    bool Marked(int row) const { return !Cell(row, 0).data(Qt::DecorationRole).value<QIcon>().isNull(); }
    QImage Mark(int row) const { return Cell(row, 0).data(Qt::DecorationRole).value<QIcon>().pixmap(16, 16).toImage(); }
    QLineEdit* FolderBox() const {
        return m_window->findChild<QLineEdit*>(QStringLiteral("control%1").arg(IDC_OUTPUT_FOLDER));
    }

    // Makes this the output folder, as Change would.
    void SetOutputFolder(const std::string& folder) {
        m_window->Settings().outputFolder = folder;
        FolderBox()->setText(QString::fromStdString(folder));
    }

    // The Add command with the dialog answered by these paths, until the
    // files have been read (or the reading was stopped).
    void Add(const QStringList& paths) {
        m_window->SetFileChooser([paths](QWidget*, const QString&) { return paths; });
        m_window->OnCommand(IDC_ADD);
        QVERIFY(WaitUntilIdle());
    }

    // The Convert command, until the batch is over.
    void Convert() {
        m_window->OnCommand(IDC_CONVERT);
        QVERIFY(WaitUntilIdle(120000));
    }

    // Waits until no batch runs and no file is read.
    bool WaitUntilIdle(int timeoutMs = 30000) {
        return QTest::qWaitFor([this] { return !m_window->IsBusy(); }, timeoutMs);
    }

    // "number|path|duration" of every row.
    QStringList Rows() const {
        QStringList rows;
        for (int row = 0; row < RowCount(); ++row) rows << Text(row, 0) + "|" + Text(row, 1) + "|" + Text(row, 2);
        return rows;
    }

    // The selected rows' positions.
    QList<int> Selection() const {
        QList<int> rows;
        for (const QModelIndex& index : List()->selectionModel()->selectedRows()) rows << index.row();
        return rows;
    }

    void Select(int row) { List()->setCurrentIndex(Cell(row, 0)); }

    // The per-user profile beside this window's settings.
    AppProfile Profile() const { return AppProfile(AppProfile::PathIn(Folder() + "user/")); }

private:
    std::string Folder() const { return m_folder.path().toStdString() + "/"; }

    QTemporaryDir m_folder;
    std::unique_ptr<CConverterDlg> m_window;
};

// Column 0's text for a 1-based position.
inline QString Number(int position) { return QStringLiteral("          %1").arg(position); }

// Drags these addresses over a widget and drops them there, as a file
// manager does; returns whether the drop was taken.
inline bool Drop(QWidget* target, const QList<QUrl>& urls) {
    QMimeData data;
    data.setUrls(urls);
    const QPoint at = target->rect().center();
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    if (!enter.isAccepted()) return false;
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted() && drop.dropAction() == Qt::CopyAction;
}

inline bool DropFiles(QWidget* target, const QStringList& paths) {
    QList<QUrl> urls;
    for (const QString& path : paths) urls << QUrl::fromLocalFile(path);
    return Drop(target, urls);
}
