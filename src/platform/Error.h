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

// Czech text of a system error number, for the messages the user sees. The common ones have their
// own text; any other keeps the system's own text in parentheses.
QString SystemErrorText(int errorNumber);
// The same for an error text the system or Qt gave (a file's errorString() is the system's text).
QString SystemErrorText(const QString& systemText);
