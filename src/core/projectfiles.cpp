#include "projectfiles.h"

#include "atomicfile.h"
#include "cp932.h"
#include "failure.h"
#include "textrecord.h"

#include <QFile>
#include <QFileInfo>

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

void removeFile(const QString& path) {
    if (QFile::exists(path) && !QFile::remove(path))
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

PlanList loadPlanList(const QString& appFolder) {
    PlanList plans;
    const QString path = pathOf(appFolder, PlanListFile);
    if (!QFile::exists(path))
        return plans;
    TextRecordReader reader = TextRecordReader::fromFile(path);
    while (!reader.atEnd())
        plans.push_back(readRecord(reader));
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

std::optional<PlanInfo> loadCurrentPlan(const QString& appFolder) {
    const QString path = pathOf(appFolder, CurrentPlanFile);
    if (!QFile::exists(path))
        return std::nullopt;
    TextRecordReader reader = TextRecordReader::fromFile(path);
    return readRecord(reader);
}

void saveCurrentPlan(const QString& appFolder, const PlanInfo& plan) {
    writeFileAtomically(pathOf(appFolder, CurrentPlanFile), recordLine(plan));
}

void removeCurrentPlan(const QString& appFolder) {
    removeFile(pathOf(appFolder, CurrentPlanFile));
}

TabStops loadTabStops(const QString& appFolder) {
    const QString path = pathOf(appFolder, TabStopsFile);
    if (!QFile::exists(path))
        return DefaultTabStops;
    TextRecordReader reader = TextRecordReader::fromFile(path);
    TabStops stops{};
    for (qint16& stop : stops)
        stop = reader.readInt16();
    return stops;
}

void saveTabStops(const QString& appFolder, const TabStops& stops) {
    TextRecordWriter writer;
    for (qint16 stop : stops)
        writer.lineInt(stop);
    writeFileAtomically(pathOf(appFolder, TabStopsFile), writer.bytes());
}

QString commentFilePath(const QString& transFilePath, const QString& transFileName) {
    const qsizetype slash = transFilePath.lastIndexOf(u'/');
    return transFilePath.left(slash + 1) + QStringLiteral("Cm_") + transFileName;
}

} // namespace projectfiles
