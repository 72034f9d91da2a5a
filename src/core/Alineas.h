#pragma once

#include <QList>
#include <QString>

// The return reasons ("alíneas") of the Brazilian cheque clearing rules, as capdb seeds the
// table alinea; the administrator keeps the table current afterwards.
namespace Alineas {

struct Alinea {
    QString numero; // two digits
    QString descricao;
    bool reapresenta; // whether a cheque returned for it may be presented again
};

// The list, in order of the code.
const QList<Alinea>& lista();

} // namespace Alineas
