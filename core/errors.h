#pragma once
// An error that ends the current user action and is shown to the user with
// its own text ("Unable to write to ...", "'x' is not a valid integer value").

#include <QString>
#include <stdexcept>

class TesseloError : public std::runtime_error {
public:
    explicit TesseloError(const QString& text)
        : std::runtime_error(text.toStdString()), text_(text) {}
    const QString& text() const { return text_; }

private:
    QString text_;
};

// The text of every refused write: the settings file, History.csv, pictures.
inline QString UnableToWriteText(const QString& path)
{
    return QStringLiteral("Unable to write to %1").arg(path);
}
