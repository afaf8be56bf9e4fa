#include "gui/windows/CAboutDlg.h"

#include "core/SettingsStore.h"
#include "gui/res/CommandIds.h"
#include "gui/res/DialogTemplates.h"
#include "gui/res/ProductAddresses.h"
#include "gui/widgets/CColorLabel.h"
#include "gui/widgets/CHyperlinkLabel.h"
#include "gui/widgets/DialogLayout.h"
#include "gui/widgets/IconResources.h"
#include "gui/widgets/SkinLibrary.h"

#include <QLabel>
#include <QPushButton>

namespace {

// The product line's buffer holds 63 characters.
constexpr qsizetype kProductLineLength = 63;
constexpr int kIconSize = 32;

QWidget* CreateAboutControl(const ControlTemplate& control, QWidget* parent) {
    QString text = QString::fromStdString(control.text);
    if (control.kind == ControlKind::Icon) {
        auto* icon = new QLabel(parent);
        icon->setPixmap(LoadIconResource(IDR_MAINFRAME).pixmap(kIconSize, kIconSize));
        return icon;
    }
    switch (control.id) {
    case IDC_ABOUT_PRODUCT: return new CColorLabel(text, parent);
    case IDC_ABOUT_HOMEPAGE:
    case IDC_ABOUT_ORDER:
    case IDC_ABOUT_SUPPORT: return new CHyperlinkLabel(text, parent);
    default: return nullptr;
    }
}

}  // namespace

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    DialogLayout layout(*this, AboutDialogTemplate(), CreateAboutControl);
    m_productLine = layout.Bind<CColorLabel>(IDC_ABOUT_PRODUCT);
    m_homePage = layout.Bind<CHyperlinkLabel>(IDC_ABOUT_HOMEPAGE);
    m_orderPage = layout.Bind<CHyperlinkLabel>(IDC_ABOUT_ORDER);
    m_supportPage = layout.Bind<CHyperlinkLabel>(IDC_ABOUT_SUPPORT);
    connect(layout.Bind<QPushButton>(ID_OK), &QPushButton::clicked, this, &CAboutDlg::accept);
    OnInitDialog();
}

void CAboutDlg::OnInitDialog() {
    QString version = QString::fromStdString(SettingsStore().LoadVersion());
    m_productLine->setText(QStringLiteral("Tarvine %1").arg(version).left(kProductLineLength));

    const std::pair<CHyperlinkLabel*, const char*> links[] = {
        {m_homePage, kHomePageAddress}, {m_orderPage, kOrderPageAddress}, {m_supportPage, kSupportPageAddress}};
    for (const auto& [label, address] : links) {
        label->SetAddress(QString::fromLatin1(address));
        label->SetUnderline(true);
    }
    for (CHyperlinkLabel* label : {m_homePage, m_orderPage, m_supportPage}) SkinLibrary::SkinWindow(label);
}
