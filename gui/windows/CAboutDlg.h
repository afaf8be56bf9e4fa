#pragma once

#include <QDialog>

class CColorLabel;
class CHyperlinkLabel;

// The about box (template 100): the product line with the version from
// version.ini, the links to the home, order and support pages, and the
// notices.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);

    CColorLabel* m_productLine = nullptr;      // 1046
    CHyperlinkLabel* m_homePage = nullptr;     // 1047
    CHyperlinkLabel* m_orderPage = nullptr;    // 1048
    CHyperlinkLabel* m_supportPage = nullptr;  // 1049

private:
    void OnInitDialog();
};
