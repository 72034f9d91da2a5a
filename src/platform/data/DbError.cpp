#include "platform/data/DbError.h"

namespace {

QString sentence(DbError::Kind kind) {
    using K = DbError::Kind;
    switch (kind) {
    case K::ForeignKey:
        return QStringLiteral("Operação recusada: o registro está ligado a outro registro do "
                              "banco de dados.");
    case K::Unique:
        return QStringLiteral("Registro já existente no banco de dados.");
    case K::Constraint:
        return QStringLiteral("Operação recusada: um valor está faltando ou fora do permitido.");
    case K::Busy:
        return QStringLiteral("O banco de dados está ocupado por outro usuário. Tente novamente "
                              "em alguns instantes.");
    case K::ReadOnly:
        return QStringLiteral("O banco de dados está somente para leitura: nada pode ser gravado "
                              "nele. Verifique as permissões de gravação.");
    case K::NotADatabase:
        return QStringLiteral("O arquivo não é um banco de dados do sistema ou está danificado.");
    case K::CannotOpen:
        return QStringLiteral("Não foi possível abrir o arquivo do banco de dados.");
    case K::Unreachable:
        return QStringLiteral("Não foi possível conectar ao servidor do banco de dados.");
    case K::Lost:
        return QStringLiteral("A conexão com o banco de dados foi perdida e a operação não foi "
                              "concluída. Tente novamente: o sistema se conecta de novo sozinho "
                              "quando o banco de dados voltar.");
    case K::DiskFull:
        return QStringLiteral("Não há espaço em disco para gravar no banco de dados.");
    case K::IoError:
        return QStringLiteral("Erro de leitura ou gravação no arquivo do banco de dados.");
    case K::Other:
        break;
    }
    return QStringLiteral("O banco de dados recusou a operação.");
}

// libpq tells why a connection failed only in words; these are its English ones (a translated
// libpq already speaks the operator's language and is shown as it is).
QString unreachableSentence(const QString& engine, bool* known) {
    *known = true;
    const auto has = [&](const char* words) {
        return engine.contains(QLatin1String(words), Qt::CaseInsensitive);
    };
    if (has("password authentication failed") || has("no password supplied") ||
        has("authentication failed"))
        return QStringLiteral("O servidor do banco de dados recusou o usuário ou a senha.");
    if (has("database \"") && has("does not exist"))
        return QStringLiteral("O banco de dados informado não existe no servidor.");
    if (has("server closed the connection") || has("connection to server was lost") ||
        has("no connection to the server") || has("terminating connection"))
        return QStringLiteral("A conexão com o servidor do banco de dados foi perdida.");
    if (has("Connection refused") || has("timeout expired") || has("could not translate host") ||
        has("No route to host") || has("Network is unreachable") || has("Connection timed out"))
        return sentence(DbError::Kind::Unreachable) +
               QStringLiteral(" Verifique o endereço no config.ini e se o servidor está em "
                              "funcionamento.");
    *known = false;
    return sentence(DbError::Kind::Unreachable);
}

} // namespace

DbError DbError::fromEngine(Kind kind, const QString& engineText, const QString& subject) {
    const QString engine = engineText.simplified();
    bool known = kind != Kind::Other && kind != Kind::Constraint;
    QString text = kind == Kind::Unreachable ? unreachableSentence(engine, &known) : sentence(kind);
    if (!subject.isEmpty())
        text += QLatin1Char(' ') + subject;
    if (!known && !engine.isEmpty())
        text += QStringLiteral(" (%1)").arg(engine);
    DbError e(text, kind);
    e.m_engineText = engineText;
    return e;
}
