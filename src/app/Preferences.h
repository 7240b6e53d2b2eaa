#pragma once

#include "data/MyListRepository.h"

#include <QObject>
#include <QString>

namespace zentuvo {

// The preferences the program works with, typed. Read from the settings file and the
// catalogue's options at start-up (readSettings) and written back by the save routines of
// Settings.h, which keep their messages; the addresses of section "links" are read from the
// settings file whenever they are asked for. changed() follows every change of a value.
class Preferences : public QObject {
    Q_OBJECT
public:
    explicit Preferences(QObject* parent = nullptr) : QObject(parent) {}

    // The interface language, a language number of the catalogue (1: English).
    int language() const { return language_; }
    void setLanguage(int id) { set(language_, id); }
    // The filter the catalogue list starts with: -1 all, 0 favourites, else a country.
    int defaultCountry() const { return defaultCountry_; }
    void setDefaultCountry(int id) { set(defaultCountry_, id); }
    // The group the My List tab shows; a group that no longer exists counts as all groups.
    MyListGroupFilter myListGroup() const { return myListGroup_; }
    void setMyListGroup(const MyListGroupFilter& group) { set(myListGroup_, group); }
    // The video size: 0 none chosen, 1 original size, 2 fit to the window.
    int videoSizeMode() const { return videoSizeMode_; }
    void setVideoSizeMode(int mode) { set(videoSizeMode_, mode); }
    // 1 when the program starts on the filter it ended with.
    int rememberCountry() const { return rememberCountry_; }
    void setRememberCountry(int flag) { set(rememberCountry_, flag); }
    // Channel checks: offline channels left out of the lists, and the shown list checked
    // whenever it changes.
    bool hideOffline() const { return hideOffline_; }
    void setHideOffline(bool hide) { set(hideOffline_, hide); }
    bool checkShownList() const { return checkShownList_; }
    void setCheckShownList(bool check) { set(checkShownList_, check); }
    // The search window also finds channels by the titles of their programmes.
    bool searchTitles() const { return searchTitles_; }
    void setSearchTitles(bool on) { set(searchTitles_, on); }
    // Where recordings go and the file dialog of local files opens.
    QString recordFolder() const { return recordFolder_; }
    void setRecordFolder(const QString& folder) { set(recordFolder_, folder); }
    // The player option that sends the program's user agent (":http-user-agent=…").
    QString playerUserAgentOption() const { return userAgentOption_; }
    void setPlayerUserAgentOption(const QString& option) { set(userAgentOption_, option); }
    // The folder of the player's command-line program, which the recorder runs.
    QString playerInstallDir() const { return playerInstallDir_; }
    void setPlayerInstallDir(const QString& folder) { set(playerInstallDir_, folder); }
    // Scheduled recordings start this many minutes before the programme and end this many
    // after it.
    int scheduleMarginBefore() const { return scheduleMarginBefore_; }
    void setScheduleMarginBefore(int minutes) { set(scheduleMarginBefore_, minutes); }
    int scheduleMarginAfter() const { return scheduleMarginAfter_; }
    void setScheduleMarginAfter(int minutes) { set(scheduleMarginAfter_, minutes); }

    // How many hours after its last refresh a guide source is refreshed again at start-up.
    int guideRefreshHours() const { return guideRefreshHours_; }
    void setGuideRefreshHours(int hours) { set(guideRefreshHours_, hours); }

    // The settings file the links are read from.
    void setSettingsFile(const QString& path) { settingsFile_ = path; }
    // A configured address of section "links" ("HomePage", "SupportMail", "SubmitMail");
    // "" when none is configured.
    QString link(const QString& key) const;

signals:
    void changed();

private:
    template <typename T> void set(T& field, const T& value) {
        if (field == value)
            return;
        field = value;
        emit changed();
    }

    int language_ = 1;
    int defaultCountry_ = 0;
    int videoSizeMode_ = 0;
    int rememberCountry_ = 0;
    bool hideOffline_ = false;
    bool checkShownList_ = false;
    bool searchTitles_ = false;
    int guideRefreshHours_ = 12;
    MyListGroupFilter myListGroup_;
    QString recordFolder_;
    QString userAgentOption_;
    QString playerInstallDir_;
    QString settingsFile_;
    int scheduleMarginBefore_ = 1;
    int scheduleMarginAfter_ = 2;
};

} // namespace zentuvo
