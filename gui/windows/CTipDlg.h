#pragma once

#include "core/TipsFile.h"

#include <QDialog>
#include <QString>

#include <memory>

class QCheckBox;
class QPushButton;
class QWidget;
class AppProfile;

// Tip of the day (template 137). The constructor does all the file work:
// afterwards m_showAtStartup and m_tipText are set and tips.txt (beside the
// executable) stands after the tip shown. The position is stored in the
// per-user profile, section "Tip", when the dialog object is destroyed.
class CTipDlg : public QDialog {
    Q_OBJECT

public:
    explicit CTipDlg(QWidget* parent = nullptr);
    ~CTipDlg() override;

    int m_showAtStartup = 0;  // the "&Show Tips on StartUp" check box
    QString m_tipText;        // the tip being shown

    // "&Close": reads the check box back and stores "StartUp".
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void OnInitDialog();
    void OnNextTip();
    void ReadNextTip(QString& tip);
    void OpenTipsFile();
    void ReportReadTrouble();

    std::unique_ptr<AppProfile> m_profile;
    std::unique_ptr<TipsFile> m_tipsFile;  // null when tips.txt could not be opened
    QWidget* m_panel = nullptr;
    QWidget* m_tipRect = nullptr;
    QCheckBox* m_startUpBox = nullptr;
    QPushButton* m_nextButton = nullptr;
    bool m_initialised = false;
};
