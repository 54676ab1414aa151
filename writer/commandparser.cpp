#include "writer/commandparser.h"

#include "writer/writererror.h"

#include <QCoreApplication>
#include <QStringList>

namespace kestrova::writer {
namespace {

struct RawCommand {
    QString name;
    QStringList arguments;
};

bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == QLatin1Char('_');
}

// Reads the commands' names and arguments, still unchecked.
class Scanner {
public:
    explicit Scanner(const QString& text) : m_text(text) {}

    QList<RawCommand> commands()
    {
        QList<RawCommand> out;
        skipBlanks();
        while (m_pos < m_text.size()) {
            if (m_text[m_pos] != QLatin1Char('['))
                throw WriterError(WriterError::UnknownCommand,
                                  QCoreApplication::translate("writer::CommandParser",
                                                              "The macro text \"%1\" is not a command: commands "
                                                              "are written in brackets, like [Pdf \"TEMPLATE\" "
                                                              "\"OUTPUT\"]")
                                      .arg(excerpt(m_pos)));
            out << command();
            skipBlanks();
        }
        return out;
    }

private:
    RawCommand command()
    {
        const qsizetype start = m_pos++;
        skipBlanks();
        RawCommand c;
        while (m_pos < m_text.size() && isNameChar(m_text[m_pos]))
            c.name += m_text[m_pos++];
        if (c.name.isEmpty())
            throw WriterError(WriterError::UnknownCommand,
                              QCoreApplication::translate("writer::CommandParser", "The command \"%1\" has no name")
                                  .arg(excerpt(start)));
        for (;;) {
            const bool separated = skipBlanks();
            if (m_pos >= m_text.size())
                throw WriterError(
                    WriterError::BadArguments,
                    QCoreApplication::translate("writer::CommandParser", "The command \"%1\" has no closing bracket")
                        .arg(excerpt(start)));
            const QChar ch = m_text[m_pos];
            if (ch == QLatin1Char(']')) {
                ++m_pos;
                return c;
            }
            if (!separated)
                throw WriterError(WriterError::BadArguments,
                                  QCoreApplication::translate("writer::CommandParser",
                                                              "The arguments of [%1] must be separated by blanks")
                                      .arg(c.name));
            c.arguments << (ch == QLatin1Char('"') ? quoted(c.name) : bare(c.name));
        }
    }

    QString quoted(const QString& name)
    {
        QString value;
        ++m_pos;
        for (;;) {
            if (m_pos >= m_text.size())
                throw WriterError(WriterError::BadArguments,
                                  QCoreApplication::translate("writer::CommandParser",
                                                              "An argument of [%1] has no closing double quote")
                                      .arg(name));
            const QChar ch = m_text[m_pos++];
            if (ch != QLatin1Char('"')) {
                value += ch;
            } else if (m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('"')) {
                value += ch;
                ++m_pos;
            } else {
                return value;
            }
        }
    }

    // An unquoted argument (a number of labels) runs up to a blank or a bracket.
    QString bare(const QString& name)
    {
        QString value;
        while (m_pos < m_text.size()) {
            const QChar ch = m_text[m_pos];
            if (ch.isSpace() || ch == QLatin1Char(']') || ch == QLatin1Char('['))
                break;
            if (ch == QLatin1Char('"'))
                throw WriterError(WriterError::BadArguments,
                                  QCoreApplication::translate("writer::CommandParser",
                                                              "A double quote inside an unquoted argument of "
                                                              "[%1]: write the argument in double quotes")
                                      .arg(name));
            value += ch;
            ++m_pos;
        }
        return value;
    }

    bool skipBlanks()
    {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && m_text[m_pos].isSpace())
            ++m_pos;
        return m_pos > start;
    }

    QString excerpt(qsizetype from) const
    {
        const QString rest = m_text.mid(from, 40).simplified();
        return m_text.size() - from > 40 ? rest + QStringLiteral("...") : rest;
    }

    const QString& m_text;
    qsizetype m_pos = 0;
};

// `message` names the command (%1), the largest count (%2) and the argument given (%3).
int labelCount(const RawCommand& c, int index, const char* message)
{
    bool ok = false;
    const int n = c.arguments[index].toInt(&ok);
    if (!ok || n < 1 || n > kMaxLabelsPerLine)
        throw WriterError(WriterError::BadArguments, QCoreApplication::translate("writer::CommandParser", message)
                                                         .arg(c.name)
                                                         .arg(kMaxLabelsPerLine)
                                                         .arg(c.arguments[index]));
    return n;
}

int labelColumns(const RawCommand& c)
{
    return labelCount(
        c, 1,
        QT_TRANSLATE_NOOP("writer::CommandParser", "[%1] needs a number of label columns from 1 to %2, not \"%3\""));
}

int labelRows(const RawCommand& c)
{
    return labelCount(
        c, 2, QT_TRANSLATE_NOOP("writer::CommandParser", "[%1] needs a number of label rows from 1 to %2, not \"%3\""));
}

void requireCount(const RawCommand& c, qsizetype least, qsizetype most, const char* usage)
{
    const qsizetype n = c.arguments.size();
    if (n < least || n > most)
        throw WriterError(
            WriterError::BadArguments,
            //: %1 is a command such as Pdf, %2 what it takes, %3 the number of arguments given.
            (n == 1
                 ? QCoreApplication::translate("writer::CommandParser", "[%1] takes %2, but %3 argument was given")
                 : QCoreApplication::translate("writer::CommandParser", "[%1] takes %2, but %3 arguments were given"))
                .arg(c.name, QCoreApplication::translate("writer::CommandParser", usage))
                .arg(n));
}

void requireText(const RawCommand& c, const QString& value, const char* what)
{
    if (value.trimmed().isEmpty())
        throw WriterError(
            WriterError::BadArguments,
            QCoreApplication::translate("writer::CommandParser", "[%1] needs %2, but the argument is empty")
                .arg(c.name, QCoreApplication::translate("writer::CommandParser", what)));
}

Command checked(const RawCommand& c)
{
    const QString name = c.name.toLower();
    Command cmd;
    if (name == QLatin1String("pdf") || name == QLatin1String("facturx")) {
        // A Factur-X invoice is rendered as a PDF is, then given its data.
        const bool facturX = name == QLatin1String("facturx");
        //: Completes "[%1] takes %2, but ...": what the command takes; words in capitals stand for its arguments.
        requireCount(c, 2, 2,
                     facturX ? QT_TRANSLATE_NOOP("writer::CommandParser",
                                                 "a template and an output file: [FacturX \"TEMPLATE\" \"OUTPUT\"]")
                             : QT_TRANSLATE_NOOP("writer::CommandParser",
                                                 "a template and an output file: [Pdf \"TEMPLATE\" \"OUTPUT\"]"));
        cmd.kind = facturX ? Command::FacturX : Command::Pdf;
        cmd.templateName = c.arguments[0];
        cmd.output = c.arguments[1];
        //: Completes "[%1] needs %2, but the argument is empty".
        requireText(c, cmd.output, QT_TRANSLATE_NOOP("writer::CommandParser", "an output file"));
    } else if (name == QLatin1String("print")) {
        //: Completes "[%1] takes %2, but ...": what the command takes; words in capitals stand for its arguments.
        requireCount(c, 1, 2,
                     QT_TRANSLATE_NOOP("writer::CommandParser",
                                       "a template and a print queue: [Print \"TEMPLATE\" \"PRINTER\"]"));
        cmd.kind = Command::Print;
        cmd.templateName = c.arguments[0];
        cmd.printer = c.arguments.value(1);
    } else if (name == QLatin1String("labels")) {
        //: Completes "[%1] takes %2, but ...": what the command takes; words in capitals stand for its arguments.
        requireCount(c, 4, 4,
                     QT_TRANSLATE_NOOP("writer::CommandParser", "a template, columns, rows and an output file: "
                                                                "[Labels \"TEMPLATE\" COLUMNS ROWS \"OUTPUT\"]"));
        cmd.kind = Command::Labels;
        cmd.templateName = c.arguments[0];
        cmd.columns = labelColumns(c);
        cmd.rows = labelRows(c);
        cmd.output = c.arguments[3];
        //: Completes "[%1] needs %2, but the argument is empty".
        requireText(c, cmd.output, QT_TRANSLATE_NOOP("writer::CommandParser", "an output file"));
    } else if (name == QLatin1String("printlabels")) {
        //: Completes "[%1] takes %2, but ...": what the command takes; words in capitals stand for its arguments.
        requireCount(c, 3, 4,
                     QT_TRANSLATE_NOOP("writer::CommandParser", "a template, columns, rows and a print queue: "
                                                                "[PrintLabels \"TEMPLATE\" COLUMNS ROWS \"PRINTER\"]"));
        cmd.kind = Command::PrintLabels;
        cmd.templateName = c.arguments[0];
        cmd.columns = labelColumns(c);
        cmd.rows = labelRows(c);
        cmd.printer = c.arguments.value(3);
    } else if (name == QLatin1String("mail")) {
        //: Completes "[%1] takes %2, but ...": what the command takes; words in capitals stand for its arguments.
        requireCount(c, 3, 3,
                     QT_TRANSLATE_NOOP("writer::CommandParser",
                                       "a recipient, a subject and a file: [Mail \"TO\" \"SUBJECT\" \"FILE\"]"));
        cmd.kind = Command::Mail;
        cmd.recipient = c.arguments[0];
        cmd.subject = c.arguments[1];
        cmd.output = c.arguments[2];
        //: Completes "[%1] needs %2, but the argument is empty".
        requireText(c, cmd.recipient, QT_TRANSLATE_NOOP("writer::CommandParser", "a recipient"));
        //: Completes "[%1] needs %2, but the argument is empty".
        requireText(c, cmd.output, QT_TRANSLATE_NOOP("writer::CommandParser", "a file to attach"));
        return cmd;
    } else if (name == QLatin1String("xrechnung")) {
        //: Completes "[%1] takes %2, but ...": what the command takes; words in capitals stand for its arguments.
        requireCount(c, 1, 1, QT_TRANSLATE_NOOP("writer::CommandParser", "an output file: [XRechnung \"OUTPUT\"]"));
        cmd.kind = Command::XRechnung;
        cmd.output = c.arguments[0];
        //: Completes "[%1] needs %2, but the argument is empty".
        requireText(c, cmd.output, QT_TRANSLATE_NOOP("writer::CommandParser", "an output file"));
        return cmd;
    } else if (name == QLatin1String("open")) {
        //: Completes "[%1] takes %2, but ...": what the command takes; words in capitals stand for its arguments.
        requireCount(c, 0, 0, QT_TRANSLATE_NOOP("writer::CommandParser", "no argument"));
        cmd.kind = Command::Open;
    } else if (name == QLatin1String("quit") || name == QLatin1String("fileexit")) {
        //: Completes "[%1] takes %2, but ...": what the command takes; words in capitals stand for its arguments.
        requireCount(c, 0, 0, QT_TRANSLATE_NOOP("writer::CommandParser", "no argument"));
        cmd.kind = Command::Quit;
    } else {
        throw WriterError(WriterError::UnknownCommand,
                          QCoreApplication::translate("writer::CommandParser",
                                                      "Unknown command [%1]: the writer knows Pdf, Print, "
                                                      "Labels, PrintLabels, Mail, FacturX, XRechnung, Open and Quit")
                              .arg(c.name));
    }
    if (cmd.kind != Command::Open && cmd.kind != Command::Quit)
        //: Completes "[%1] needs %2, but the argument is empty".
        requireText(c, cmd.templateName, QT_TRANSLATE_NOOP("writer::CommandParser", "a template"));
    return cmd;
}

} // namespace

QList<Command> parseMacro(const QString& text)
{
    if (text.size() > kMaxMacroLength)
        throw WriterError(WriterError::BadArguments,
                          QCoreApplication::translate("writer::CommandParser",
                                                      "The macro text is %1 characters long; the writer takes "
                                                      "at most %2")
                              .arg(text.size())
                              .arg(kMaxMacroLength));
    QList<Command> out;
    for (const RawCommand& raw : Scanner(text).commands())
        out << checked(raw);
    return out;
}

} // namespace kestrova::writer
