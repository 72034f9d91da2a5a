#include "bankfiles/Codigos.h"

#include "platform/data/Dialect.h"

namespace Codigos {

namespace {

// Calls `corre` once per group of codes with the statement for the group and its values.
template <typename Corre>
void porGrupo(const QString& sql, const QVariantList& antes, const QList<int>& codigos,
              Corre&& corre) {
    for (qsizetype i = 0; i < codigos.size(); i += PorComando) {
        const QList<int> grupo = codigos.mid(i, PorComando);
        QVariantList params = antes;
        for (int c : grupo)
            params << c;
        corre(sql.arg(Dialect::placeholders(int(grupo.size()))), params);
    }
}

} // namespace

int executa(const Connection& cnx, const QString& sql, const QVariantList& antes,
            const QList<int>& codigos) {
    int tocados = 0;
    porGrupo(sql, antes, codigos,
             [&](const QString& s, const QVariantList& p) { tocados += cnx.execute(s, p); });
    return tocados;
}

QList<QVariantList> seleciona(const Connection& cnx, const QString& sql, const QVariantList& antes,
                              const QList<int>& codigos) {
    QList<QVariantList> linhas;
    porGrupo(sql, antes, codigos,
             [&](const QString& s, const QVariantList& p) { linhas += cnx.select(s, p).rows; });
    return linhas;
}

} // namespace Codigos
