#pragma once

#include "common/Messages.h"

class QWidget;

namespace zentuvo {

// Message boxes shown with QMessageBox, above the active window.
class QtMessageService : public MessageService {
public:
    MsgAnswer show(const MessageRequest& request) override;
};

// Addresses and files opened with the desktop's registered programs.
class QtDesktopService : public DesktopService {
public:
    bool openUrl(const QString& address) override;
    bool openFile(const QString& path) override;
};

} // namespace zentuvo
