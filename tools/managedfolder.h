#pragma once
// A folder the generator shares with the user (the Images folder beside the
// program). The generator keeps a list of the files it wrote there, with a
// hash of each, and only ever writes a file that is missing or that it wrote
// itself and that nobody has changed since; a user's own picture is never
// touched. Files it made earlier and no longer makes are removed.

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>

class ManagedFolder {
public:
    static constexpr const char* kManifestName = ".tesselo-generated";

    // Folders below the root that the generator may write into.
    ManagedFolder(const QString& root, const QStringList& allowedFolders);

    enum class Outcome { Written, Unchanged, KeptUsersFile, Failed };
    Outcome put(const QString& relativePath, const QByteArray& bytes);
    // Removes what is no longer made and saves the list. False on failure.
    bool finish();

    int count(Outcome outcome) const { return counts_.value(outcome); }
    const QStringList& errors() const { return errors_; }

private:
    QString path(const QString& relativePath) const;
    bool allowed(const QString& relativePath) const;
    void readManifest();
    bool writeManifest();

    QString root_;
    QStringList allowedFolders_;
    QHash<QString, QByteArray> previous_;  // relative path -> hash, as listed before this run
    QHash<QString, QByteArray> current_;   // what this run made and owns
    QSet<QString> seen_;
    QHash<Outcome, int> counts_;
    QStringList errors_;
};
