// SPDX-License-Identifier: GPL-3.0-or-later
#include "projectfiles.h"

#include "core/files/atomicfile.h"
#include "core/files/failure.h"
#include "core/settings/textrecord.h"
#include "core/text/cp932.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace projectfiles {
namespace {

QString pathOf(const QString& appFolder, const QString& name) {
    return appFolder + u'/' + name;
}

// The characters of text that do not read back as themselves through the code page, each once.
QString notRoundTripping(const QString& text) {
    QString bad;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QString piece(text[i]);
        if (text[i].isHighSurrogate() && i + 1 < text.size())
            piece += text[++i];
        if (piece.at(0).unicode() < 0x80 || bad.contains(piece))
            continue;
        if (!cp932::unencodable(piece).isEmpty() || cp932::decode(cp932::encode(piece)) != piece)
            bad += piece;
    }
    return bad;
}

PlanInfo readRecord(TextRecordReader& reader) {
    PlanInfo plan;
    plan.planName = reader.readString();
    plan.orgFilePath = reader.readString();
    plan.orgFileName = reader.readString();
    plan.transFilePath = reader.readString();
    plan.transFileName = reader.readString();
    plan.useOrgFile = reader.readBool();
    plan.stackedPanes = reader.readBool();
    plan.useCmnt = reader.readBool();
    plan.cmntFilePath = reader.readString();
    return plan;
}

void addRecord(TextRecordWriter& writer, const PlanInfo& plan) {
    const QString refusal = refusalFor(plan);
    if (!refusal.isEmpty())
        throw PlanRefused(refusal);
    writer.addString(plan.planName)
        .addString(plan.orgFilePath)
        .addString(plan.orgFileName)
        .addString(plan.transFilePath)
        .addString(plan.transFileName)
        .addBool(plan.useOrgFile)
        .addBool(plan.stackedPanes)
        .addBool(plan.useCmnt)
        .addString(plan.cmntFilePath)
        .endRecord();
}

// The record as a document path of the program's own or a field the list line cannot hold would
// leave it: why it cannot be used, or an empty string.
QString recordProblem(const QString& appFolder, const PlanInfo& plan) {
    const QString refusal = refusalFor(plan);
    if (!refusal.isEmpty())
        return refusal;
    for (const QString& path : {plan.orgFilePath, plan.transFilePath, plan.cmntFilePath})
        if (namesOwnFile(appFolder, path))
            return QStringLiteral("ﾌﾟﾛｸﾞﾗﾑ自身のﾌｧｲﾙ「%1」が文書として指定されています。")
                .arg(QFileInfo(path).fileName());
    return {};
}

// The records of text, each line on its own, for a file that cannot be read as a whole: a line
// that does not hold one usable record is passed over.
PlanList salvageRecords(const QString& appFolder, const QString& text) {
    PlanList plans;
    const QStringList lines = text.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")));
    for (const QString& line : lines) {
        if (line.trimmed().isEmpty())
            continue;
        try {
            TextRecordReader reader(line);
            PlanInfo plan = readRecord(reader);
            if (reader.atEnd() && recordProblem(appFolder, plan).isEmpty())
                plans.push_back(std::move(plan));
        } catch (const RuntimeFailure&) {
        }
    }
    return plans;
}

// Moves a damaged file (or folder) out of the way under a name that says so and keeps it.
QString setAside(const QString& path) {
    const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-hhmmss"));
    QString kept = path + QStringLiteral(".damaged-") + stamp;
    for (int n = 2; QFileInfo::exists(kept) || QFileInfo(kept).isSymLink(); ++n)
        kept = path + QStringLiteral(".damaged-") + stamp + u'-' + QString::number(n);
    if (!QDir().rename(path, kept))
        return {};
    return QFileInfo(kept).fileName();
}

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw RuntimeFailure(failure::PathFileAccess, QFileInfo(path).fileName());
    return cp932::decode(file.readAll());
}

void removeFile(const QString& path) {
    if (!QFile::exists(path))
        return;
    // A list the user made read-only is kept, as a rewrite of it would be.
    constexpr auto anyWrite = QFile::WriteOwner | QFile::WriteGroup | QFile::WriteOther;
    if (!(QFile::permissions(path) & anyWrite) || !QFile::remove(path))
        throw RuntimeFailure(failure::PermissionDenied, QFileInfo(path).fileName());
}

} // namespace

QString refusalFor(const PlanInfo& plan) {
    const struct {
        const char16_t* label;
        const QString& text;
    } fields[] = {
        {u"プロジェクト名", plan.planName},          {u"原文ファイルのパス", plan.orgFilePath},
        {u"原文ファイルの名前", plan.orgFileName},   {u"訳文ファイルのパス", plan.transFilePath},
        {u"訳文ファイルの名前", plan.transFileName}, {u"注釈ファイルのパス", plan.cmntFilePath},
    };
    for (const auto& field : fields) {
        const QString label = QString::fromUtf16(field.label);
        if (field.text.contains(u'"'))
            return QStringLiteral("%1にダブルクォーテーション（\"）は使えません。").arg(label);
        for (QChar c : field.text)
            if (c.category() == QChar::Other_Control)
                return QStringLiteral("%1に改行やタブなどの制御文字は使えません。").arg(label);
        const QString bad = notRoundTripping(field.text);
        if (!bad.isEmpty())
            return QStringLiteral("%1に保存できない文字が含まれています：%2").arg(label, bad);
    }
    return {};
}

QByteArray recordLine(const PlanInfo& plan) {
    TextRecordWriter writer;
    addRecord(writer, plan);
    return writer.bytes();
}

QString FileDamage::message() const {
    QString text = QStringLiteral("ﾌﾟﾛｼﾞｪｸﾄのﾌｧｲﾙ「%1」が壊れているため、そのままでは読み込めません"
                                  "でした。\r\n%2\r\n")
                       .arg(fileName, reason);
    if (keptAs.isEmpty())
        text += QStringLiteral("元のﾌｧｲﾙは移動できなかったため、そのまま残してあります。\r\n");
    else
        text += QStringLiteral("元のﾌｧｲﾙは「%1」として残してあります。\r\n").arg(keptAs);
    if (currentPlanFile)
        text += QStringLiteral("使用中のﾌﾟﾛｼﾞｪｸﾄはありません。");
    else if (fileName == TabStopsFile)
        text += QStringLiteral("ﾀﾌﾞ位置は既定の値を使います。");
    else
        text += QStringLiteral("読み取れたﾌﾟﾛｼﾞｪｸﾄは %1 件です。").arg(recordsKept);
    return text;
}

bool namesOwnFile(const QString& appFolder, const QString& path) {
    if (path.isEmpty())
        return false;
    const auto resolved = [](const QString& p) {
        const QFileInfo info(p);
        const QString canonical = info.canonicalFilePath();
        return canonical.isEmpty() ? QDir::cleanPath(info.absoluteFilePath()) : canonical;
    };
    const QString folder = resolved(appFolder) + u'/';
    const QString file = resolved(path);
    if (!file.startsWith(folder))
        return false;
    const QString inside = file.mid(folder.size());
    return inside.endsWith(QStringLiteral(".vtd"), Qt::CaseInsensitive) ||
           inside == QStringLiteral("verbanta.lock");
}

PlanList loadPlanList(const QString& appFolder, std::optional<FileDamage>* damage) {
    PlanList plans;
    const QString path = pathOf(appFolder, PlanListFile);
    if (!QFileInfo::exists(path))
        return plans;
    QString reason;
    QString text;
    try {
        text = readText(path);
        TextRecordReader reader(text, PlanListFile);
        while (!reader.atEnd()) {
            plans.push_back(readRecord(reader));
            reason = recordProblem(appFolder, plans.back());
            if (!reason.isEmpty())
                break;
        }
    } catch (const RuntimeFailure& e) {
        reason = e.description();
    }
    if (reason.isEmpty())
        return plans;
    // What can still be used is kept, line by line, and the list is written afresh with it.
    plans = salvageRecords(appFolder, text);
    FileDamage found{PlanListFile, reason, setAside(path), int(plans.size())};
    if (!found.keptAs.isEmpty() && !plans.empty()) {
        try {
            savePlanList(appFolder, plans);
        } catch (const std::exception&) {
            // The projects read stay listed while the program runs; the damaged file keeps them.
        }
    }
    if (damage)
        *damage = found;
    return plans;
}

void savePlanList(const QString& appFolder, const PlanList& plans, bool dropDeleted) {
    TextRecordWriter writer;
    bool any = false;
    for (const PlanInfo& plan : plans) {
        if (dropDeleted && plan.planName == DeletedMarker)
            continue;
        addRecord(writer, plan);
        any = true;
    }
    const QString path = pathOf(appFolder, PlanListFile);
    if (any)
        writeFileAtomically(path, writer.bytes());
    else
        removeFile(path);
}

std::optional<PlanInfo> loadCurrentPlan(const QString& appFolder,
                                        std::optional<FileDamage>* damage) {
    const QString path = pathOf(appFolder, CurrentPlanFile);
    if (!QFileInfo::exists(path))
        return std::nullopt;
    QString reason;
    try {
        TextRecordReader reader(readText(path), CurrentPlanFile);
        const PlanInfo plan = readRecord(reader);
        reason = recordProblem(appFolder, plan);
        if (reason.isEmpty())
            return plan;
    } catch (const RuntimeFailure& e) {
        reason = e.description();
    }
    FileDamage found{CurrentPlanFile, reason, setAside(path), 0, true};
    if (damage)
        *damage = found;
    return std::nullopt;
}

void saveCurrentPlan(const QString& appFolder, const PlanInfo& plan) {
    writeFileAtomically(pathOf(appFolder, CurrentPlanFile), recordLine(plan));
}

void removeCurrentPlan(const QString& appFolder) {
    removeFile(pathOf(appFolder, CurrentPlanFile));
}

TabStops loadTabStops(const QString& appFolder, std::optional<FileDamage>* damage) {
    const QString path = pathOf(appFolder, TabStopsFile);
    if (!QFileInfo::exists(path))
        return DefaultTabStops;
    try {
        TextRecordReader reader(readText(path), TabStopsFile);
        TabStops stops{};
        for (qint16& stop : stops)
            stop = reader.readInt16();
        return stops;
    } catch (const RuntimeFailure& e) {
        // Tab stops are a convenience: damaged ones give way to the defaults, the file is kept
        // and the user is told, so that the stops chosen do not change without a word.
        FileDamage found{TabStopsFile, e.description(), setAside(path)};
        if (damage)
            *damage = found;
        return DefaultTabStops;
    }
}

void saveTabStops(const QString& appFolder, const TabStops& stops) {
    TextRecordWriter writer;
    for (qint16 stop : stops)
        writer.lineInt(stop);
    writeFileAtomically(pathOf(appFolder, TabStopsFile), writer.bytes());
}

void removeDocumentLeftovers(const PlanInfo& plan) {
    for (const QString& path : {plan.orgFilePath, plan.transFilePath, plan.cmntFilePath})
        removeLeftoversBeside(path);
}

QString commentFilePath(const QString& transFilePath, const QString& transFileName) {
    const qsizetype slash = transFilePath.lastIndexOf(u'/');
    return transFilePath.left(slash + 1) + QStringLiteral("Cm_") + transFileName;
}

} // namespace projectfiles
