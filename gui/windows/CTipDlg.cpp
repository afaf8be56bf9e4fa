#include "gui/windows/CTipDlg.h"

#include "core/AppProfile.h"
#include "core/ProgramFolder.h"
#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"
#include "gui/res/MenuTemplate.h"
#include "gui/widgets/AppMessageBox.h"
#include "gui/widgets/DialogLayout.h"

#include <QCheckBox>
#include <QPainter>
#include <QPushButton>
#include <QShowEvent>
#include <QSvgRenderer>

#include <cerrno>
#include <cstring>

namespace {

constexpr const char* kSection = "Tip";
constexpr const char* kStartUpKey = "StartUp";
constexpr const char* kFilePosKey = "FilePos";
constexpr const char* kTimeStampKey = "TimeStamp";

// The white panel stops this far above the bottom of its control.
constexpr int kPanelBottomCut = 50;
constexpr QSize kBulbSize(40, 53);

const char* const kNoTipsText = "There are no tips in the tips file.";

QPixmap BulbBitmap(qreal pixelRatio) {
    QPixmap bulb(kBulbSize * pixelRatio);
    bulb.setDevicePixelRatio(pixelRatio);
    bulb.fill(Qt::white);
    QSvgRenderer renderer(QStringLiteral(":/bitmaps/bulb.svg"));
    QPainter painter(&bulb);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(kBulbSize)));
    return bulb;
}

void ShowMessage(QWidget* parent, const QString& text) { AppMessageBox(parent, text, QMessageBox::Warning); }

}  // namespace

CTipDlg::CTipDlg(QWidget* parent)
    : QDialog(parent), m_profile(std::make_unique<AppProfile>(AppProfile::DefaultPath())) {
    DialogLayout layout(*this, TipDialogTemplate());
    m_panel = layout.Control(IDC_TIP_PANEL);
    m_tipRect = layout.Control(IDC_TIP_TEXT);
    m_startUpBox = layout.Bind<QCheckBox>(IDC_TIP_STARTUP);
    m_nextButton = layout.Bind<QPushButton>(IDC_TIP_NEXT);
    connect(m_nextButton, &QPushButton::clicked, this, &CTipDlg::OnNextTip);
    connect(layout.Bind<QPushButton>(ID_OK), &QPushButton::clicked, this, &CTipDlg::accept);

    m_showAtStartup = m_profile->GetProfileInt(kSection, kStartUpKey, 0) == 0 ? 1 : 0;
    OpenTipsFile();
}

CTipDlg::~CTipDlg() {
    if (m_tipsFile) m_profile->WriteProfileInt(kSection, kFilePosKey, static_cast<int>(m_tipsFile->Position()));
}

void CTipDlg::OpenTipsFile() {
    long offset = m_profile->GetProfileInt(kSection, kFilePosKey, 0);
    auto file = std::make_unique<TipsFile>(GetProgramFolder() + "tips.txt");
    if (!file->IsOpen()) {
        m_tipText = QString::fromUtf8(kTipsFileMissingString);
        return;
    }
    m_tipsFile = std::move(file);

    // A replaced file starts again at its first tip.
    std::string stamp = m_tipsFile->CreationTimeText();
    if (stamp != m_profile->GetProfileString(kSection, kTimeStampKey, "")) {
        m_profile->WriteProfileString(kSection, kTimeStampKey, stamp);
        offset = 0;
    }
    if (!m_tipsFile->Seek(offset)) {
        ReportReadTrouble();
        return;
    }
    ReadNextTip(m_tipText);
}

void CTipDlg::ReadNextTip(QString& tip) {
    std::string text;
    switch (m_tipsFile->ReadNextTip(text)) {
    case TipsFile::ReadResult::Tip: tip = QString::fromUtf8(text); break;
    case TipsFile::ReadResult::NoTips: tip = QString::fromUtf8(kNoTipsText); break;
    case TipsFile::ReadResult::RewindFailed:
        tip.clear();
        ReportReadTrouble();
        break;
    }
}

// Only the tips are missing: the user is informed, nothing is at risk.
void CTipDlg::ReportReadTrouble() {
    AppMessageBox(isVisible() ? this : parentWidget(), kTipsFileTroubleString, QMessageBox::Information);
}

void CTipDlg::showEvent(QShowEvent* event) {
    if (!m_initialised) {
        m_initialised = true;
        OnInitDialog();
    }
    QDialog::showEvent(event);
}

void CTipDlg::OnInitDialog() {
    m_startUpBox->setChecked(m_showAtStartup != 0);
    if (!m_tipsFile) m_nextButton->setEnabled(false);
}

void CTipDlg::OnNextTip() {
    ReadNextTip(m_tipText);
    update();
}

void CTipDlg::accept() {
    m_showAtStartup = m_startUpBox->isChecked() ? 1 : 0;
    QDialog::accept();
    if (!m_profile->WriteProfileInt(kSection, kStartUpKey, m_showAtStartup ? 0 : 1)) {
        ShowMessage(parentWidget(),
                    QStringLiteral("Could not save the tip settings to %1: %2.")
                        .arg(QString::fromStdString(m_profile->Path()), QString::fromLocal8Bit(std::strerror(errno))));
    }
}

void CTipDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRect rect = m_panel->geometry().adjusted(0, 0, 0, -kPanelBottomCut);
    painter.fillRect(rect, Qt::white);
    painter.setPen(Qt::black);

    QPixmap bulb = BulbBitmap(devicePixelRatioF());
    rect.setHeight(kBulbSize.height());
    painter.drawPixmap(rect.topLeft(), bulb);

    rect.setLeft(rect.left() + kBulbSize.width());
    painter.setFont(font());
    painter.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QString::fromUtf8(kDidYouKnowString));

    QRect tipRect = m_tipRect->geometry();
    painter.setClipRect(tipRect);
    painter.drawText(tipRect, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap | Qt::TextExpandTabs, m_tipText);
}
