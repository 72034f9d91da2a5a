#include "bankfiles/Codigos.h"

#include <QStringList>

namespace Codigos {

int executa(const Connection& cnx, const QString& sql, const QVariantList& antes,
            const QList<int>& codigos) {
    int tocados = 0;
    for (qsizetype i = 0; i < codigos.size(); i += PorComando) {
        const QList<int> grupo = codigos.mid(i, PorComando);
        QVariantList params = antes;
        QStringList marcas;
        for (int c : grupo) {
            params << c;
            marcas << QStringLiteral("?");
        }
        tocados += cnx.execute(sql.arg(marcas.join(QStringLiteral(", "))), params);
    }
    return tocados;
}

} // namespace Codigos
