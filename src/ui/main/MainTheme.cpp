#include "ui/main/MainTheme.h"

#include "ui/main/MainMenus.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QMainWindow>
#include <QPalette>
#include <QProxyStyle>
#include <QWidget>

namespace zentuvo {

namespace {

QPalette darkPalette() {
    QPalette p;
    const QColor window(0x23, 0x26, 0x2d), base(0x1b, 0x1e, 0x24), alternate(0x22, 0x26, 0x2e),
        text(0xe6, 0xe8, 0xeb), muted(0x8a, 0x91, 0x9c), highlight(0x2f, 0x6f, 0xd0),
        button(0x2d, 0x32, 0x3b);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, alternate);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, button);
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::BrightText, Qt::white);
    p.setColor(QPalette::Highlight, highlight);
    p.setColor(QPalette::HighlightedText, Qt::white);
    p.setColor(QPalette::ToolTipBase, QColor(0xf5, 0xf5, 0xf0));
    p.setColor(QPalette::ToolTipText, QColor(0x20, 0x20, 0x20));
    p.setColor(QPalette::PlaceholderText, muted);
    p.setColor(QPalette::Light, QColor(0x3a, 0x40, 0x4a));
    p.setColor(QPalette::Midlight, QColor(0x33, 0x38, 0x41));
    p.setColor(QPalette::Mid, QColor(0x2a, 0x2e, 0x35));
    p.setColor(QPalette::Dark, QColor(0x15, 0x17, 0x1b));
    p.setColor(QPalette::Shadow, Qt::black);
    p.setColor(QPalette::Link, QColor(0x6a, 0xa8, 0xff));
    for (auto role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(QPalette::Disabled, role, muted);
    return p;
}

// Drops a selector's entries down as a scrolling list instead of a menu over the whole
// screen, so that the list keeps to its maximum number of visible entries.
class ListPopupStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == QStyle::SH_ComboBox_Popup)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

void paint(QWidget* widget, const QColor& background, const QColor& text = QColor()) {
    if (!widget)
        return;
    QPalette p = widget->palette();
    p.setColor(QPalette::Window, background);
    p.setColor(QPalette::Base, background);
    if (text.isValid()) {
        p.setColor(QPalette::WindowText, text);
        p.setColor(QPalette::Text, text);
    }
    widget->setPalette(p);
    widget->setAutoFillBackground(true);
}

} // namespace

void applyApplicationTheme() {
    QApplication::setPalette(darkPalette());
}

void applyMainTheme(QMainWindow* window, const MainMenus& menus) {
    const QPalette palette = darkPalette();
    window->setPalette(palette);
    // Pop-up menus are windows of their own and take no palette from the main window.
    for (QMenu* m : {menus.mnuFile, menus.mnuView, menus.mnuTools, menus.mnuHelp,
                     menus.mnuLvwChannels, menus.mnuLvwMyList})
        m->setPalette(palette);

    // The filter selectors drop down a list of at most 20 entries, in the window's colours.
    for (const char* name : {"cboCountry", "cboGroup"}) {
        auto* combo = window->findChild<QComboBox*>(QString::fromLatin1(name));
        if (!combo)
            continue;
        auto* style = new ListPopupStyle;
        style->setParent(combo);
        combo->setStyle(style);
        combo->view()->setPalette(palette);
        if (QWidget* popup = combo->view()->parentWidget())
            popup->setPalette(palette);
    }
    const QColor black(Qt::black), muted(0x9a, 0xa3, 0xad);
    paint(window->findChild<QWidget*>(QStringLiteral("picContainerLeft")), black, muted);
    paint(window->findChild<QWidget*>(QStringLiteral("VLCPlugin21")), black, muted);
    paint(window->findChild<QWidget*>(QStringLiteral("VLCPluginPreview")), black, muted);
    paint(window->findChild<QWidget*>(QStringLiteral("lblPlayerMessage")), QColor(0x15, 0x17, 0x1b),
          muted);
    paint(window->findChild<QWidget*>(QStringLiteral("picBottom")), QColor(0x2b, 0x2f, 0x37));
    paint(window->findChild<QWidget*>(QStringLiteral("imgPreview")), QColor(0x1f, 0x22, 0x28));
    for (const char* name : {"lblChannelCount", "lblMyListCount"}) {
        if (auto* count = window->findChild<QWidget*>(QString::fromLatin1(name))) {
            QPalette p = count->palette();
            p.setColor(QPalette::WindowText, muted);
            count->setPalette(p);
        }
    }
    if (auto* caption = window->findChild<QWidget*>(QStringLiteral("lblPreview"))) {
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
    }
}

} // namespace zentuvo
