#pragma once

#include <QString>
#include <stdexcept>

// An automation error as a control raises it: a number, the object that
// raised it and a description. Callers that "ignore errors" catch it.
class AutomationError : public std::runtime_error
{
public:
    AutomationError(qint32 number, QString source, QString description)
        : std::runtime_error(description.toStdString()),
          m_number(number), m_source(std::move(source)), m_description(std::move(description)) {}

    qint32 Number() const { return m_number; }
    const QString& Source() const { return m_source; }
    const QString& Description() const { return m_description; }

private:
    qint32 m_number;
    QString m_source;
    QString m_description;
};
