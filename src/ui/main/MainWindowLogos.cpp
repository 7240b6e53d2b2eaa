// The channel logos in the main window's lists.
#include "app/AppContext.h"
#include "app/Settings.h"
#include "ui/main/ChannelListModel.h"
#include "ui/main/ChannelListPanel.h"
#include "ui/main/MainWindow.h"
#include "ui/main/MyListPanel.h"
#include "ui/widgets/ListView.h"
#include "ui/widgets/LogoBesideIcon.h"
#include "ui/widgets/LogoPictures.h"

#include <QFontMetrics>
#include <algorithm>

namespace zentuvo {

namespace {

// The names' column of both lists.
constexpr int kNameColumn = 1;

} // namespace

// The logos go beside the names, as tall as a line of the list's text (16 to 20 pixels).
void MainWindow::showLogos() {
    logos_ = new LogoPictures(app_.paths().cacheFolder + QStringLiteral("/logos"),
                              programUserAgent(), this);
    const std::pair<ListView*, ChannelListModel*> lists[] = {{ui_.lvwChannels, channels_->model()},
                                                             {ui_.lvwMyList, myList_->model()}};
    for (const auto& [view, model] : lists) {
        const int side = std::clamp(QFontMetrics(view->font()).height(), 16, 20);
        model->setLogos(kNameColumn, [this, side](ChannelRef channel, const QString& name) {
            return logos_->picture(channel, name, side);
        });
        connect(logos_, &LogoPictures::changed, model, &ChannelListModel::refreshLogos);
    }
    // The catalogue's names show the favourite mark: the logo comes after it.
    ui_.lvwChannels->setItemDelegateForColumn(
        kNameColumn, new LogoBesideIcon(ChannelListModel::LogoRole, ui_.lvwChannels));
}

void MainWindow::reloadLogos() {
    logos_->load(app_.paths().myList, app_.paths().guideFile());
}

} // namespace zentuvo
