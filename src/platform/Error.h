#pragma once
#include <QString>
#include <exception>

// The one error type for file, ini and settings failures; its message names the file or value.
class ZelvakonError : public std::exception {
public:
    explicit ZelvakonError(QString message) : Msg(std::move(message)), Utf8(Msg.toUtf8()) {}
    const QString& Message() const { return Msg; }
    const char* what() const noexcept override { return Utf8.constData(); }

private:
    QString Msg;
    QByteArray Utf8;
};

// Text of the standard error box: a full stop is added when the last character sorts after ".".
QString StandardErrorText(const QString& message);
