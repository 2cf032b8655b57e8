// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <array>
#include <optional>
#include <stdexcept>
#include <vector>

// One translation project: its files and switches. A fresh record (after New, after the last
// project is deleted) has empty strings and all three switches on.
struct PlanInfo {
    QString planName; // empty: no project is in use
    QString orgFilePath;
    QString transFilePath;
    bool useOrgFile = true;
    bool stackedPanes = true;
    QString orgFileName;
    QString transFileName;
    QString cmntFilePath;
    bool useCmnt = true;

    bool operator==(const PlanInfo&) const = default;
};

using PlanList = std::vector<PlanInfo>;
// Tab positions in twips.
using TabStops = std::array<qint16, 4>;
inline constexpr TabStops DefaultTabStops{480, 960, 1440, 1920};

// A project whose name or paths the project files cannot hold; reason() says why, for the user,
// and so does what(), should it ever reach the error report.
class PlanRefused : public std::runtime_error {
public:
    explicit PlanRefused(QString reason)
        : std::runtime_error(reason.toStdString()), m_reason(std::move(reason)) {}
    const QString& reason() const { return m_reason; }

private:
    QString m_reason;
};

// The project files in the application folder: the project list, the project in use and the tab
// stops, as CP932 text records rewritten whole and atomically. A project record is one line of
// nine fields (name, original path and name, translation path and name, the three switches, the
// comment path); a line break between fields is accepted when reading.
namespace projectfiles {

inline const QString PlanListFile = QStringLiteral("trinfo.vtd");
inline const QString CurrentPlanFile = QStringLiteral("ctrinfo.vtd");
inline const QString TabStopsFile = QStringLiteral("trtabs.vtd");
// The name a deleted project carries until the list is written without it.
inline const QString DeletedMarker = QStringLiteral("###");
// The title of the box that reports a damaged project file.
inline const QString DamageTitle = QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄ情報ｴﾗｰ");

// Why the record cannot be stored, or an empty string when it can: a double quote or a control
// character would break the record line, and a character the code page cannot hold exactly would
// come back as another name or point at another file.
QString refusalFor(const PlanInfo& plan);

// The bytes of one record line.
QByteArray recordLine(const PlanInfo& plan);

// A project file that could not be read whole (damaged, cut short, a folder in its place, or a
// record the program would never have written). Its bytes are kept under another name, never
// deleted, and what could be read of it is used; message() tells the user so.
struct FileDamage {
    QString fileName; // the file as the program knows it: trinfo.vtd, ctrinfo.vtd, trtabs.vtd
    QString reason;
    QString keptAs; // the name its bytes were moved to; empty when even that failed
    int recordsKept = 0;
    bool currentPlanFile = false;

    QString message() const;
};

// Whether path names one of the program's own files in the application folder (its settings and
// list files, a book's record files, its lock): never a user's document.
bool namesOwnFile(const QString& appFolder, const QString& path);

// The projects of trinfo.vtd in file order; none when the file is missing. A damaged file is set
// aside and reported in *damage; the records that could be read are kept and written back.
PlanList loadPlanList(const QString& appFolder, std::optional<FileDamage>* damage = nullptr);
// Rewrites trinfo.vtd with the projects in order, leaving out those named "###" when
// dropDeleted is set. An empty list removes the file: it is never left empty. Raises PlanRefused
// before anything is written when a record cannot be stored.
void savePlanList(const QString& appFolder, const PlanList& plans, bool dropDeleted = false);

// The project in use from ctrinfo.vtd; nullopt when the file is missing. A damaged file is set
// aside and reported in *damage, and no project is in use.
std::optional<PlanInfo> loadCurrentPlan(const QString& appFolder,
                                        std::optional<FileDamage>* damage = nullptr);
void saveCurrentPlan(const QString& appFolder, const PlanInfo& plan);
void removeCurrentPlan(const QString& appFolder);

// The tab stops of trtabs.vtd; the defaults when the file is missing. A damaged file is set aside
// and reported in *damage, and the defaults are used.
TabStops loadTabStops(const QString& appFolder, std::optional<FileDamage>* damage = nullptr);
void saveTabStops(const QString& appFolder, const TabStops& stops);

// Removes what interrupted saves of the project's documents (original, translation, comment) left
// beside them; other files are never touched.
void removeDocumentLeftovers(const PlanInfo& plan);

// The comment file of a translation file: "Cm_" + its file name, in its folder.
QString commentFilePath(const QString& transFilePath, const QString& transFileName);

} // namespace projectfiles
