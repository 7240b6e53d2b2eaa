#pragma once

#include "data/ErrorReporter.h"

#include <QString>

namespace zentuvo {

enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgButtons { Ok, YesNo, AbortRetryIgnore };
enum class MsgAnswer { Ok, Yes, No, Abort, Retry, Ignore };

// One message box or question. An empty title means the application title.
struct MessageRequest {
    QString text;
    QString title;
    MsgIcon icon = MsgIcon::None;
    MsgButtons buttons = MsgButtons::Ok;
    MsgAnswer defaultAnswer = MsgAnswer::Ok;
};

inline const QString kAppTitle = QStringLiteral("Zentuvo");

// Every message box and question of the program goes through this service, so that
// tests can read the messages and give the answers without a blocking dialog. What the
// data layer reports arrives here too: its errors with the critical icon, its notices
// without an icon.
class MessageService : public ErrorReporter {
public:
    virtual MsgAnswer show(const MessageRequest& request) = 0;

    void reportError(const QString& text) override { critical(text); }
    void reportNotice(const QString& text) override { plain(text); }

    void critical(const QString& text) { show({text, {}, MsgIcon::Critical}); }
    void exclamation(const QString& text) { show({text, {}, MsgIcon::Exclamation}); }
    void information(const QString& text) { show({text, {}, MsgIcon::Information}); }
    void plain(const QString& text) { show({text, {}, MsgIcon::None}); }
    // A Yes/No question; No is the default button unless said otherwise.
    bool askYesNo(const QString& text, const QString& title = {}, bool defaultNo = true) {
        return show({text, title, MsgIcon::Question, MsgButtons::YesNo,
                     defaultNo ? MsgAnswer::No : MsgAnswer::Yes}) == MsgAnswer::Yes;
    }
};

// Opens addresses and files with the programs the desktop has registered for them.
class DesktopService {
public:
    virtual ~DesktopService() = default;
    virtual bool openUrl(const QString& address) = 0;
    virtual bool openFile(const QString& path) = 0;
};

} // namespace zentuvo
