#include "app/PlayerTexts.h"

#include <QLocale>
#include <filesystem>
#include <system_error>

#include "platform/Exceptions.h"
#include "platform/NativePath.h"
#include "platform/PathParts.h"
#include "platform/ProtectedFolder.h"
#include "tracks/TrackCatalogue.h"

std::string ShownPath(const std::string& path) {
#ifdef _WIN32
    std::string shown = path;
    for (char& c : shown) {
        if (c == '/')
            c = '\\';
    }
    return shown;
#else
    namespace fs = std::filesystem;
    const fs::path native(NativePath(path));
    // The drive links ("dosdevices/c:") lead into the prefix's folders; the file itself is left as it
    // is, so that a link in its place is named, not what it points to.
    std::error_code error;
    const fs::path folder = fs::weakly_canonical(native.parent_path(), error);
    if (error || native.filename().empty())
        return native.string();
    return (folder / native.filename()).string();
#endif
}

QString FailureMessage(const std::exception& failure) {
    if (const auto* unreadable = dynamic_cast<const ETracksUnreadable*>(&failure);
        unreadable && unreadable->First()) {
        try {
            std::rethrow_exception(unreadable->First());
        } catch (const std::exception& first) {
            return FailureMessage(first) + QString::fromStdString(unreadable->MoreText());
        }
    }
    if (const auto* open = dynamic_cast<const EFOpenError*>(&failure))
        return "Cannot open file " + QString::fromStdString(ShownPath(open->Path()));
    if (const auto* create = dynamic_cast<const EFCreateError*>(&failure)) {
        QString text = "Cannot create file " + QString::fromStdString(ShownPath(create->Path()));
        const std::string advice = ProtectedFolderAdvice(FolderPart(create->Path()), create->Error().code);
        if (!advice.empty())
            text += ": " + QString::fromStdString(advice);
        return text;
    }
    return QString::fromStdString(failure.what());
}

QString CountText(qsizetype count) {
    return QLocale(QLocale::English, QLocale::UnitedStates).toString(static_cast<qlonglong>(count));
}

QString TracksText(qsizetype count) {
    return CountText(count) + (count == 1 ? " track" : " tracks");
}

QString OutcomeText(const QString& done, qsizetype left, const QStringList& reasons) {
    if (left <= 0)
        return done;
    QString text = done + "; " + CountText(left) + (left == 1 ? " left as it was" : " left as they were");
    if (reasons.isEmpty())
        return text;
    constexpr qsizetype Named = 3;
    text += ": " + reasons.mid(0, Named).join(", ");
    if (reasons.size() > Named)
        text += " and " + CountText(reasons.size() - Named) + " more";
    return text;
}

namespace {

bool fileExists(const std::string& path) {
    std::error_code error;
    const std::string native = NativePath(path);
    return std::filesystem::exists(std::filesystem::path(std::u8string(native.begin(), native.end())), error);
}

} // namespace

QString WhyNotRenamed(const std::string& eventFolder, const std::string& fileName,
                      const std::string& newName) {
    // The target is looked for first: a name in another letter case counts, as Windows sees it.
    if (fileExists(eventFolder + newName))
        return QString::fromStdString(newName) + " exists";
    if (!fileExists(eventFolder + fileName))
        return QString::fromStdString(fileName) + " is missing";
    return QString::fromStdString(fileName) + " could not be renamed";
}

QString WhyNotDeleted(const std::string& path) {
    const QString name = QString::fromStdString(FileNamePart(path));
    return fileExists(path) ? name + " could not be deleted" : name + " is missing";
}
