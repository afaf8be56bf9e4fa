#include "gui/widgets/SkinLibrary.h"

#include "gui/widgets/CommandTarget.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QList>
#include <QMenu>
#include <QPalette>
#include <QRegularExpression>
#include <QStyle>
#include <QWidget>

#include <array>
#include <optional>
#include <utility>

namespace {

struct SkinState {
    bool initialized = false;
    bool loaded = false;
    bool applied = false;
    QString styleSheet;
    QPalette palette;
    QPalette plainPalette;
};

SkinState& State() {
    static SkinState state;
    return state;
}

const std::array<std::pair<const char*, QPalette::ColorRole>, 17> kPaletteKeys{{
    {"window", QPalette::Window},
    {"window-text", QPalette::WindowText},
    {"base", QPalette::Base},
    {"alternate-base", QPalette::AlternateBase},
    {"text", QPalette::Text},
    {"button", QPalette::Button},
    {"button-text", QPalette::ButtonText},
    {"light", QPalette::Light},
    {"midlight", QPalette::Midlight},
    {"mid", QPalette::Mid},
    {"dark", QPalette::Dark},
    {"shadow", QPalette::Shadow},
    {"highlight", QPalette::Highlight},
    {"highlighted-text", QPalette::HighlightedText},
    {"tooltip-base", QPalette::ToolTipBase},
    {"tooltip-text", QPalette::ToolTipText},
    {"placeholder-text", QPalette::PlaceholderText},
}};

std::optional<QPalette::ColorRole> PaletteRole(const QString& key) {
    for (const auto& [name, role] : kPaletteKeys) {
        if (key == QLatin1String(name)) return role;
    }
    return std::nullopt;
}

const QRegularExpression& PaletteBlock() {
    static const QRegularExpression block(QStringLiteral("SkinPalette\\s*\\{([^}]*)\\}"));
    return block;
}

// The palette block of a skin: "key: colour;" pairs, where a key with the
// prefix "disabled-" sets the colour of the disabled state. An unknown key or
// colour makes the skin unusable.
std::optional<QPalette> ParsePalette(const QString& declarations) {
    QPalette palette = QApplication::palette();
    const QString disabledPrefix = QStringLiteral("disabled-");
    QList<std::pair<QPalette::ColorRole, QColor>> disabledColors;
    for (const QString& declaration : declarations.split(u';')) {
        if (declaration.trimmed().isEmpty()) continue;
        qsizetype colon = declaration.indexOf(u':');
        if (colon < 0) return std::nullopt;
        QString key = declaration.left(colon).trimmed();
        QColor color = QColor::fromString(declaration.mid(colon + 1).trimmed());
        bool disabled = key.startsWith(disabledPrefix);
        std::optional<QPalette::ColorRole> role = PaletteRole(disabled ? key.mid(disabledPrefix.size()) : key);
        if (!role || !color.isValid()) return std::nullopt;
        if (disabled) {
            disabledColors.append({*role, color});
        } else {
            palette.setColor(*role, color);  // every state, until a disabled- key says otherwise
        }
    }
    for (const auto& [role, color] : disabledColors) palette.setColor(QPalette::Disabled, role, color);
    return palette;
}

// Qt reports a style sheet that does not parse only as a warning; catch it
// while a throw-away widget is styled, so a broken skin can be refused.
bool g_parseFailed = false;
QtMessageHandler g_previousHandler = nullptr;

void NoteParseFailure(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.startsWith(QLatin1String("Could not parse"))) {
        g_parseFailed = true;
        return;
    }
    if (g_previousHandler) g_previousHandler(type, context, message);
}

bool StyleSheetParses(const QString& styleSheet) {
    g_parseFailed = false;
    g_previousHandler = qInstallMessageHandler(NoteParseFailure);
    {
        QWidget probe;
        probe.setStyleSheet(styleSheet);
        probe.ensurePolished();
    }
    qInstallMessageHandler(g_previousHandler);
    return !g_parseFailed;
}

void Restyle(QWidget* window) {
    window->style()->unpolish(window);
    window->style()->polish(window);
    window->update();
}

}  // namespace

namespace SkinLibrary {

void Initialize(QApplication&) {
    SkinState& state = State();
    if (state.initialized) return;
    state.initialized = true;
    state.plainPalette = QApplication::palette();
}

bool LoadSkinFromResource(const QString& name, const QString& type) {
    SkinState& state = State();
    if (!state.initialized) return false;
    state.loaded = false;

    QFile file(QStringLiteral(":/%1/%2").arg(type, name));
    if (!file.open(QIODevice::ReadOnly)) return false;
    QString text = QString::fromUtf8(file.readAll());
    text.remove(QRegularExpression(QStringLiteral("/\\*.*?\\*/"), QRegularExpression::DotMatchesEverythingOption));

    QRegularExpressionMatch block = PaletteBlock().match(text);
    if (!block.hasMatch()) return false;
    std::optional<QPalette> palette = ParsePalette(block.captured(1));
    QString styleSheet = text.remove(block.capturedStart(), block.capturedLength()).trimmed();
    if (!palette || styleSheet.isEmpty() || !StyleSheetParses(styleSheet)) return false;

    state.palette = *palette;
    state.styleSheet = styleSheet;
    state.loaded = true;
    return true;
}

void SetDialogSkin(const QString& skinObject) {
    SkinState& state = State();
    if (!state.loaded || skinObject != QLatin1String(kDialogSkinObject)) return;
    QApplication::setPalette(state.palette);
    qApp->setStyleSheet(state.styleSheet);
    state.applied = true;
}

bool ApplyProgramSkin(QApplication& application) {
    Initialize(application);
    bool loaded = LoadSkinFromResource(QString::fromLatin1(kSkinResourceName), QString::fromLatin1(kSkinResourceType));
    SetDialogSkin(QString::fromLatin1(kDialogSkinObject));
    return loaded;
}

void SkinWindow(QWidget* window) {
    if (!window || !State().applied) return;
    window->setProperty("skinned", true);
    // Re-polishing under a style sheet resolves the font afresh; a font the
    // window was given on purpose (a link's underline) must survive it.
    const bool ownFont = window->testAttribute(Qt::WA_SetFont);
    const QFont font = window->font();
    Restyle(window);
    if (ownFont) window->setFont(font);
}

int TrackPopupMenu(const MenuTemplate& menu, QPoint screenPosition, QWidget* owner) {
    QMenu popup(owner);
    for (const MenuItemTemplate& item : menu.items) {
        if (item.commandId == 0) {
            popup.addSeparator();
        } else {
            popup.addAction(QString::fromStdString(item.text))->setData(item.commandId);
        }
    }
    QAction* picked = popup.exec(screenPosition);
    if (!picked) return 0;

    int commandId = picked->data().toInt();
    if (owner) {
        // Like any menu command, the pick reaches the owner once the menu's
        // own event loop has ended; an owner gone by then gets nothing.
        QMetaObject::invokeMethod(
            owner,
            [owner, commandId] {
                if (auto* target = dynamic_cast<CommandTarget*>(owner)) target->OnCommand(commandId);
            },
            Qt::QueuedConnection);
    }
    return commandId;
}

void Shutdown() {
    SkinState& state = State();
    if (state.applied) {
        qApp->setStyleSheet(QString());
        QApplication::setPalette(state.plainPalette);
    }
    state = SkinState{};
}

}  // namespace SkinLibrary
