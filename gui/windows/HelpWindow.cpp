#include "gui/windows/HelpWindow.h"

#include "gui/widgets/OpenAddress.h"

#include <QApplication>
#include <QCursor>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPointer>
#include <QScreen>
#include <QShortcut>
#include <QSplitter>
#include <QStyle>
#include <QTextBrowser>
#include <QTextStream>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr const char* kContentsFile = "contents.txt";

QToolButton* ToolButton(QWidget* parent, QStyle::StandardPixmap icon, const QString& text,
                        const QKeySequence& shortcut) {
    auto* button = new QToolButton(parent);
    button->setIcon(parent->style()->standardIcon(icon));
    button->setText(text);
    button->setToolTip(QStringLiteral("%1 (%2)").arg(text, shortcut.toString(QKeySequence::NativeText)));
    button->setShortcut(shortcut);
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAutoRaise(true);
    return button;
}

// The window's preferred size, and the share of a smaller screen it takes.
constexpr QSize kPreferredSize(860, 600);
constexpr double kScreenShare = 0.9;

// Pages compare equal whatever fragment they were opened on.
QUrl PageOf(const QUrl& url) { return url.adjusted(QUrl::RemoveFragment | QUrl::NormalizePathSegments); }

}  // namespace

HelpWindow::HelpWindow(const QString& helpFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_helpFolder(QDir(helpFolder).absolutePath()) {
    setWindowTitle(QStringLiteral("Tarvine Help"));
    setAttribute(Qt::WA_DeleteOnClose);

    m_backButton = ToolButton(this, QStyle::SP_ArrowBack, QStringLiteral("Back"), QKeySequence::Back);
    m_forwardButton = ToolButton(this, QStyle::SP_ArrowForward, QStringLiteral("Forward"), QKeySequence::Forward);
    QToolButton* homeButton =
        ToolButton(this, QStyle::SP_DirHomeIcon, QStringLiteral("Overview"), QKeySequence(Qt::ALT | Qt::Key_Home));

    m_contents = new QListWidget(this);
    m_browser = new QTextBrowser(this);
    m_browser->setOpenLinks(false);

    auto* splitter = new QSplitter(this);
    splitter->addWidget(m_contents);
    splitter->addWidget(m_browser);
    splitter->setStretchFactor(1, 1);
    splitter->setSizes({220, 640});

    auto* toolbar = new QHBoxLayout;
    toolbar->addWidget(m_backButton);
    toolbar->addWidget(m_forwardButton);
    toolbar->addWidget(homeButton);
    toolbar->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(toolbar);
    layout->addWidget(splitter, 1);

    m_backButton->setEnabled(false);
    m_forwardButton->setEnabled(false);
    connect(m_backButton, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forwardButton, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(homeButton, &QToolButton::clicked, this, [this] { ShowTopic(QLatin1String(kOverviewTopic)); });
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backButton, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardButton, &QToolButton::setEnabled);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::FollowLink);
    connect(m_browser, &QTextBrowser::sourceChanged, this, &HelpWindow::OnPageChanged);
    connect(m_contents, &QListWidget::currentRowChanged, this, &HelpWindow::OnContentsRowChanged);

    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(keys, this), &QShortcut::activated, this, &QWidget::close);

    LoadContents();
    FitOnScreen();
}

// Centred on the screen under the mouse and no larger than its free area,
// title bar and frame included, so nothing of it is out of reach.
void HelpWindow::FitOnScreen() {
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) {
        resize(kPreferredSize);
        return;
    }
    QRect free = screen->availableGeometry();
    QSize size = kPreferredSize.boundedTo(free.size() * kScreenShare).expandedTo(minimumSizeHint());
    resize(size);
    QRect placed(QPoint(), size);
    placed.moveCenter(free.center());
    move(placed.topLeft());
}

HelpWindow* HelpWindow::Open(const QString& helpFolder, const QString& topic) {
    static QPointer<HelpWindow> window;
    if (!window) window = new HelpWindow(helpFolder, QApplication::activeModalWidget());
    window->ShowTopic(topic);
    window->show();
    window->raise();
    window->activateWindow();
    return window;
}

void HelpWindow::LoadContents() {
    QFile file(m_helpFolder + QLatin1Char('/') + QLatin1String(kContentsFile));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return;
    QTextStream in(&file);
    while (!in.atEnd()) {
        QString line = in.readLine().trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        qsizetype bar = line.lastIndexOf(QLatin1Char('|'));
        if (bar < 0) continue;
        auto* item = new QListWidgetItem(line.left(bar).trimmed(), m_contents);
        item->setData(Qt::UserRole, line.mid(bar + 1).trimmed());
    }
}

void HelpWindow::ShowTopic(const QString& topic) {
    m_browser->setSource(QUrl::fromLocalFile(m_helpFolder + QLatin1Char('/') + topic));
}

QUrl HelpWindow::CurrentPage() const { return m_browser->source(); }

void HelpWindow::FollowLink(const QUrl& link) {
    QUrl target = m_browser->source().resolved(link);
    if (target.isLocalFile())
        m_browser->setSource(target);
    else
        OpenAddressOrReport(target.toString(QUrl::FullyEncoded).toStdString());
}

void HelpWindow::OnPageChanged(const QUrl& page) {
    QUrl shown = PageOf(page);
    for (int row = 0; row < m_contents->count(); ++row) {
        QString topic = m_contents->item(row)->data(Qt::UserRole).toString();
        if (PageOf(QUrl::fromLocalFile(m_helpFolder + QLatin1Char('/') + topic)) == shown) {
            QSignalBlocker quiet(m_contents);
            m_contents->setCurrentRow(row);
            return;
        }
    }
    QSignalBlocker quiet(m_contents);
    m_contents->clearSelection();
}

void HelpWindow::OnContentsRowChanged(int row) {
    if (row < 0) return;
    QString topic = m_contents->item(row)->data(Qt::UserRole).toString();
    QUrl target = QUrl::fromLocalFile(m_helpFolder + QLatin1Char('/') + topic);
    if (PageOf(target) != PageOf(m_browser->source())) m_browser->setSource(target);
}
