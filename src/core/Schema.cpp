#include "core/Schema.h"

#include "core/Alineas.h"
#include "platform/data/Dialect.h"
#include "platform/data/TransactionGuard.h"

#include <vector>

namespace {

enum class Kind { Key, Integer, Text, Money, Date, Bool };

struct Column {
    const char* name;
    Kind kind;
    int width = 0; // Text only
    bool notNull = false;
    const char* defaultValue = nullptr; // SQL literal; for Bool "true" or "false"
};

struct Reference {
    const char* column;
    const char* parent;
    const char* parentKey;
};

struct Table {
    const char* name;
    std::vector<Column> columns;
    std::vector<Reference> references;
    // Named UNIQUE constraints: name, then columns.
    std::vector<std::pair<const char*, std::vector<const char*>>> uniques;
};

struct Index {
    const char* name;
    const char* table;
    QString columns;             // column list or expression, as written inside the parentheses
    const char* where = nullptr; // a partial index: the rows it holds
};

constexpr bool NotNull = true;

const std::vector<Table>& tables() {
    static const std::vector<Table> t = {
        {"associado",
         {
             {"cod_associado", Kind::Key},
             {"idt_tpo_associado", Kind::Text, 1},
             {"nom_associado", Kind::Text, 80},
             {"num_cgc_cpf", Kind::Text, 14},
             {"num_bancoob", Kind::Text, 3},
             {"num_ag_bancoob", Kind::Text, 4},
             {"num_conv_bancoob", Kind::Text, 10},
             {"idt_dst_mov_bancoob", Kind::Text, 2, false, "'03'"},
         },
         {},
         {}},
        {"movimento",
         {
             {"cod_movimento", Kind::Key},
             {"cod_associado", Kind::Integer, 0, NotNull},
             {"num_cod_movimento", Kind::Text, 2},
             {"dsc_movimento", Kind::Text, 80},
         },
         {{"cod_associado", "associado", "cod_associado"}},
         {}},
        // The return reasons of the clearing rules; the administrator keeps the list current.
        {"alinea",
         {
             {"cod_alinea", Kind::Key},
             {"num_alinea", Kind::Text, 2, NotNull},
             {"dsc_alinea", Kind::Text, 200, NotNull},
             {"ind_reapresenta", Kind::Bool, 0, NotNull, "false"},
         },
         {},
         {{"uq_alinea_num_alinea", {"num_alinea"}}}},
        {"lote_cheque",
         {
             {"cod_lote", Kind::Key},
             // The capture screen saves a lot without validating its member.
             {"cod_associado", Kind::Integer},
             {"num_lote", Kind::Text, 10, NotNull},
             {"idt_dep_custodia", Kind::Text, 1, NotNull, "'D'"},
             {"ind_gerado", Kind::Bool, 0, NotNull, "false"},
             {"dat_lote", Kind::Date},
             {"dat_gerado", Kind::Date},
         },
         {{"cod_associado", "associado", "cod_associado"}},
         {{"uq_lote_cheque_num_lote", {"num_lote"}}}},
        {"cheque",
         {
             {"cod_cheque", Kind::Key},
             {"cod_lote", Kind::Integer, 0, NotNull},
             {"num_banco", Kind::Text, 3, NotNull},
             {"num_agencia", Kind::Text, 4, NotNull},
             {"num_dv2", Kind::Text, 1, NotNull},
             {"num_compe", Kind::Text, 3, NotNull},
             {"num_cheque", Kind::Text, 6, NotNull},
             {"num_tipificacao", Kind::Text, 1, NotNull},
             {"num_dv1", Kind::Text, 1, NotNull},
             {"num_conta", Kind::Text, 10, NotNull},
             {"num_dv3", Kind::Text, 1, NotNull},
             {"vlr_cheque", Kind::Money, 0, NotNull},
             {"dat_deposito", Kind::Date},
             {"ind_devolvido", Kind::Bool, 0, NotNull, "false"},
             {"dat_devolucao", Kind::Date},
             {"dat_reapresentacao", Kind::Date},
             {"dat_2reapresentacao", Kind::Date},
             // The reason of the last return, when the operator gave one.
             {"cod_alinea", Kind::Integer},
         },
         {{"cod_lote", "lote_cheque", "cod_lote"}, {"cod_alinea", "alinea", "cod_alinea"}},
         // The same CMC-7 line is the same cheque, whichever lot it was captured into.
         {{"uq_cheque_cmc7",
           {"num_banco", "num_agencia", "num_dv2", "num_compe", "num_cheque", "num_tipificacao",
            "num_dv1", "num_conta", "num_dv3"}}}},
        {"departamento",
         {
             {"cod_departamento", Kind::Key},
             {"cod_associado", Kind::Integer, 0, NotNull},
             {"nom_departamento", Kind::Text, 80},
         },
         {{"cod_associado", "associado", "cod_associado"}},
         {}},
        {"funcionario",
         {
             {"cod_funcionario", Kind::Key},
             // The employee screen validates neither member, department nor movement code.
             {"cod_associado", Kind::Integer},
             {"cod_departamento", Kind::Integer},
             {"cod_movimento", Kind::Integer},
             {"nom_funcionario", Kind::Text, 80},
             {"num_cpf", Kind::Text, 14},
             {"dat_nascimento", Kind::Date},
             {"num_identidade", Kind::Text, 15},
             {"dat_admissao", Kind::Date},
             {"dat_demissao", Kind::Date},
             {"vlr_salario", Kind::Money},
             {"num_cc_bancoob", Kind::Text, 10},
         },
         {{"cod_associado", "associado", "cod_associado"},
          {"cod_departamento", "departamento", "cod_departamento"},
          {"cod_movimento", "movimento", "cod_movimento"}},
         {}},
        {"feriado",
         {
             {"cod_feriado", Kind::Key},
             {"dat_feriado", Kind::Date},
             {"dsc_feriado", Kind::Text, 50},
             {"ind_dia_fixo", Kind::Bool},
         },
         {},
         {}},
        {"pagamento_funcionario",
         {
             {"cod_pagamento", Kind::Key},
             {"cod_funcionario", Kind::Integer, 0, NotNull},
             {"dat_geracao", Kind::Date, 0, NotNull},
             {"dat_pagamento", Kind::Date, 0, NotNull},
             {"mes_referencia", Kind::Text, 6, NotNull},
             {"num_cc_func_bancoob", Kind::Text, 10},
             {"vlr_salario", Kind::Money},
         },
         {{"cod_funcionario", "funcionario", "cod_funcionario"}},
         {}},
        // One row: the version of this schema the database is at.
        {"versao_esquema",
         {
             {"num_versao", Kind::Integer, 0, NotNull},
         },
         {},
         {}},
    };
    return t;
}

// Every foreign key column leads an index (PostgreSQL does not index them by itself, and a
// refused delete looks the children up through it); the rest serve the screens' orderings
// and filters. Name columns are indexed in the order of names, the one their lists use.
std::vector<Index> indexes(Engine e) {
    const auto byName = [](const char* column) { return Dialect::byName(QLatin1String(column)); };
    return {
        {"ix_associado_nome", "associado", byName("nom_associado")},
        {"ix_movimento_associado", "movimento", QStringLiteral("cod_associado, num_cod_movimento")},
        {"ix_lote_cheque_associado", "lote_cheque", QStringLiteral("cod_associado, dat_lote")},
        {"ix_lote_cheque_data", "lote_cheque", QStringLiteral("dat_lote, num_lote")},
        {"ix_lote_cheque_gerado", "lote_cheque", QStringLiteral("dat_gerado")},
        // The next lot number is max() of this very expression; the text must match it.
        {"ix_lote_cheque_num_lote_valor", "lote_cheque",
         Dialect::castInteger(e, QStringLiteral("num_lote"))},
        // The lot lists read every lot of a member from here alone, already in their order
        // (number as text, descending, compared byte by byte on both engines).
        {"ix_lote_cheque_lista", "lote_cheque",
         e == Engine::PostgreSQL
             ? QStringLiteral("cod_associado, num_lote COLLATE \"C\" DESC, cod_lote, ind_gerado")
             : QStringLiteral("cod_associado, num_lote DESC, cod_lote, ind_gerado")},
        {"ix_cheque_lote", "cheque", QStringLiteral("cod_lote, cod_cheque")},
        // Only returned cheques have a reason: the index leaves out the millions without one,
        // which would make every update of a cheque that moves it slow on PostgreSQL.
        {"ix_cheque_alinea", "cheque", QStringLiteral("cod_alinea"), "cod_alinea IS NOT NULL"},
        {"ix_departamento_associado", "departamento",
         QStringLiteral("cod_associado, ") + byName("nom_departamento")},
        {"ix_departamento_nome", "departamento", byName("nom_departamento")},
        {"ix_funcionario_associado", "funcionario",
         QStringLiteral("cod_associado, ") + byName("nom_funcionario")},
        {"ix_funcionario_nome", "funcionario", byName("nom_funcionario")},
        {"ix_funcionario_departamento", "funcionario", QStringLiteral("cod_departamento")},
        {"ix_funcionario_movimento", "funcionario", QStringLiteral("cod_movimento")},
        {"ix_feriado_data", "feriado", QStringLiteral("dat_feriado")},
        {"ix_pagamento_funcionario", "pagamento_funcionario", QStringLiteral("cod_funcionario")},
    };
}

// "YYYY-MM-DD HH:MM:SS", the only date text SQLite columns accept.
const QString SqliteDatePattern =
    QStringLiteral("'[0-9][0-9][0-9][0-9]-[01][0-9]-[0-3][0-9] [0-2][0-9]:[0-5][0-9]:[0-5][0-9]'");

QString columnDdl(Engine e, const Column& c) {
    const QString name = QLatin1String(c.name);
    const bool pg = e == Engine::PostgreSQL;
    QString type;
    QString check;
    switch (c.kind) {
    case Kind::Key:
        return pg ? name + QStringLiteral(" integer GENERATED BY DEFAULT AS IDENTITY PRIMARY KEY")
                  : name + QStringLiteral(" INTEGER PRIMARY KEY AUTOINCREMENT");
    case Kind::Integer:
        type = pg ? QStringLiteral("integer") : QStringLiteral("INTEGER");
        if (!pg)
            check = QStringLiteral("typeof(%1) IN ('integer', 'null')").arg(name);
        break;
    case Kind::Text:
        type = (pg ? QStringLiteral("varchar(%1)") : QStringLiteral("VARCHAR(%1)")).arg(c.width);
        if (!pg)
            check = QStringLiteral("length(%1) <= %2").arg(name).arg(c.width);
        break;
    case Kind::Money:
        type = pg ? QStringLiteral("bigint") : QStringLiteral("BIGINT");
        if (!pg)
            check = QStringLiteral("typeof(%1) IN ('integer', 'null')").arg(name);
        break;
    case Kind::Date:
        type = pg ? QStringLiteral("timestamp without time zone") : QStringLiteral("TEXT");
        if (!pg)
            check = QStringLiteral("%1 GLOB %2").arg(name, SqliteDatePattern);
        break;
    case Kind::Bool:
        type = pg ? QStringLiteral("boolean") : QStringLiteral("BOOLEAN");
        if (!pg)
            check = QStringLiteral("%1 IN (0, 1)").arg(name);
        break;
    }
    QString out = name + QLatin1Char(' ') + type;
    if (c.notNull)
        out += QStringLiteral(" NOT NULL");
    if (c.defaultValue) {
        QString def = QLatin1String(c.defaultValue);
        if (c.kind == Kind::Bool && !pg)
            def = def == QLatin1String("true") ? QStringLiteral("1") : QStringLiteral("0");
        out += QStringLiteral(" DEFAULT ") + def;
    }
    if (!check.isEmpty())
        out += QStringLiteral(" CHECK (%1)").arg(check);
    return out;
}

QString tableDdl(Engine e, const Table& t) {
    QStringList parts;
    for (const Column& c : t.columns)
        parts << columnDdl(e, c);
    for (const auto& [name, cols] : t.uniques) {
        QStringList names;
        for (const char* c : cols)
            names << QLatin1String(c);
        parts << QStringLiteral("CONSTRAINT %1 UNIQUE (%2)")
                     .arg(QLatin1String(name), names.join(QStringLiteral(", ")));
    }
    for (const Reference& r : t.references)
        parts << QStringLiteral("CONSTRAINT fk_%1_%2 FOREIGN KEY (%2) REFERENCES %3 (%4) "
                                "ON DELETE RESTRICT")
                     .arg(QLatin1String(t.name), QLatin1String(r.column), QLatin1String(r.parent),
                          QLatin1String(r.parentKey));
    return QStringLiteral("CREATE TABLE %1 (\n  %2\n)")
        .arg(QLatin1String(t.name), parts.join(QStringLiteral(",\n  ")));
}

const Table* findTable(const QString& name) {
    for (const Table& t : tables())
        if (name == QLatin1String(t.name))
            return &t;
    return nullptr;
}

void seedAlineas(const Connection& c) {
    for (const Alineas::Alinea& a : Alineas::lista())
        c.execute(QStringLiteral("insert into alinea (num_alinea, dsc_alinea, ind_reapresenta) "
                                 "values (?, ?, ?)"),
                  {a.numero, a.descricao, a.reapresenta});
}

void recordVersion(const Connection& c, int version) {
    c.execute(QStringLiteral("delete from versao_esquema"));
    c.execute(QStringLiteral("insert into versao_esquema (num_versao) values (?)"), {version});
}

// One step of the schema's history: what it does, as capdb tells it, and the statements. The
// tables and columns a step adds are written here as they were at that version, so that a
// later change to tables() never changes an old step.
struct Step {
    int version; // the version the step brings the database to
    const char* description;
    void (*apply)(const Connection& c, Engine e);
};

QString indexDdl(Engine e, const Index& i) {
    // PostgreSQL wants an expression in an index inside its own parentheses.
    const bool expression = i.columns.contains(QLatin1Char('('));
    QString sql = QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                      .arg(QLatin1String(i.name), QLatin1String(i.table),
                           e == Engine::PostgreSQL && expression
                               ? QLatin1Char('(') + i.columns + QLatin1Char(')')
                               : i.columns);
    if (i.where)
        sql += QStringLiteral(" WHERE ") + QLatin1String(i.where);
    return sql;
}

void toVersion2(const Connection& c, Engine e) {
    const Table alinea{"alinea",
                       {
                           {"cod_alinea", Kind::Key},
                           {"num_alinea", Kind::Text, 2, NotNull},
                           {"dsc_alinea", Kind::Text, 200, NotNull},
                           {"ind_reapresenta", Kind::Bool, 0, NotNull, "false"},
                       },
                       {},
                       {{"uq_alinea_num_alinea", {"num_alinea"}}}};
    c.execute(tableDdl(e, alinea));
    seedAlineas(c);
    c.execute(QStringLiteral("ALTER TABLE cheque ADD COLUMN %1 CONSTRAINT fk_cheque_cod_alinea "
                             "REFERENCES alinea (cod_alinea) ON DELETE RESTRICT")
                  .arg(columnDdl(e, {"cod_alinea", Kind::Integer})));
    c.execute(QStringLiteral("CREATE INDEX ix_cheque_alinea ON cheque (cod_alinea)"));
    c.execute(tableDdl(e, {"versao_esquema", {{"num_versao", Kind::Integer, 0, NotNull}}, {}, {}}));
}

void toVersion3(const Connection& c, Engine e) {
    c.execute(indexDdl(
        e, {"ix_lote_cheque_lista", "lote_cheque",
            e == Engine::PostgreSQL
                ? QStringLiteral("cod_associado, num_lote COLLATE \"C\" DESC, cod_lote, ind_gerado")
                : QStringLiteral("cod_associado, num_lote DESC, cod_lote, ind_gerado")}));
    c.execute(QStringLiteral("DROP INDEX ix_cheque_alinea"));
    c.execute(indexDdl(
        e, {"ix_cheque_alinea", "cheque", QStringLiteral("cod_alinea"), "cod_alinea IS NOT NULL"}));
}

const std::vector<Step>& steps() {
    static const std::vector<Step> s = {
        {2,
         "tabela alinea com as alíneas de devolução; coluna cheque.cod_alinea; registro da "
         "versão do esquema",
         &toVersion2},
        {3, "índice da relação de lotes por associado", &toVersion3},
    };
    return s;
}

} // namespace

namespace Schema {

QStringList tableNames() {
    QStringList out;
    for (const Table& t : tables())
        out << QLatin1String(t.name);
    return out;
}

QStringList columnNames(const QString& table) {
    QStringList out;
    if (const Table* t = findTable(table))
        for (const Column& c : t->columns)
            out << QLatin1String(c.name);
    return out;
}

int width(const QString& table, const QString& column) {
    if (const Table* t = findTable(table))
        for (const Column& c : t->columns)
            if (column == QLatin1String(c.name))
                return c.kind == Kind::Text ? c.width : 0;
    return 0;
}

FieldDef& textField(Dataset& query, const QString& table, const QString& column,
                    const QString& label) {
    FieldDef& f = query.defineField(column, FieldKind::String, label);
    f.size = width(table, column);
    return f;
}

QList<ForeignKey> foreignKeys() {
    QList<ForeignKey> out;
    for (const Table& t : tables())
        for (const Reference& r : t.references)
            out << ForeignKey{QLatin1String(t.name), QLatin1String(r.column),
                              QLatin1String(r.parent), QLatin1String(r.parentKey)};
    return out;
}

QStringList ddl(Engine engine) {
    QStringList out;
    // The order of names by ICU's rules for Portuguese (Brazil), whatever the server's locale;
    // SQLite connections register the same order under the same name.
    if (engine == Engine::PostgreSQL)
        out << QStringLiteral("CREATE COLLATION %1 (provider = icu, locale = 'pt-BR')")
                   .arg(QLatin1String(Dialect::NameCollation));
    for (const Table& t : tables())
        out << tableDdl(engine, t);
    for (const Index& i : indexes(engine))
        out << indexDdl(engine, i);
    return out;
}

void create(Connection& c) {
    if (c.engine() == Engine::None)
        throw DbError(QStringLiteral("A conexão com o banco de dados não está aberta."));
    const auto run = [&c] {
        for (const QString& s : ddl(c.engine()))
            c.execute(s);
        seedAlineas(c);
        recordVersion(c, Versao);
    };
    if (c.inTransaction())
        return run();
    TransactionGuard tx(c);
    run();
    tx.commit();
}

int versao(const Connection& c) {
    if (c.tableColumns(QStringLiteral("versao_esquema")).isEmpty())
        return c.tableColumns(QStringLiteral("cheque")).isEmpty() ? 0 : 1;
    return c.selectValue(QStringLiteral("select max(num_versao) from versao_esquema")).toInt();
}

QStringList atualiza(Connection& c) {
    if (!c.isOpen())
        throw DbError(QStringLiteral("A conexão com o banco de dados não está aberta."));
    QStringList done;
    TransactionGuard tx(c);
    const int from = versao(c);
    if (from == 0)
        throw DbError(QStringLiteral("O banco de dados não tem as tabelas do sistema; crie-o com "
                                     "o capdb init."));
    if (from > Versao)
        throw DbError(QStringLiteral("O banco de dados está na versão %1 do esquema, mais nova "
                                     "que a deste programa (%2).")
                          .arg(from)
                          .arg(Versao));
    for (const Step& s : steps()) {
        if (s.version <= from)
            continue;
        s.apply(c, c.engine());
        recordVersion(c, s.version);
        done << QStringLiteral("Versão %1: %2.")
                    .arg(s.version)
                    .arg(QString::fromUtf8(s.description));
    }
    tx.commit();
    return done;
}

void verify(const Connection& c) {
    if (!c.isOpen())
        throw DbError(QStringLiteral("A conexão com o banco de dados não está aberta."));
    // A database without any of the tables is told below by the first table it lacks.
    const int version = versao(c);
    if (version != 0 && version < Versao)
        throw DbError(QStringLiteral("O banco de dados está na versão %1 do esquema e este "
                                     "programa usa a versão %2. Peça ao administrador do sistema "
                                     "que execute capdb atualiza neste banco de dados.")
                          .arg(version)
                          .arg(Versao));
    if (version > Versao)
        throw DbError(QStringLiteral("O banco de dados está na versão %1 do esquema, mais nova "
                                     "que a deste programa (%2). Instale a versão atual do "
                                     "programa.")
                          .arg(version)
                          .arg(Versao));
    for (const Table& t : tables()) {
        const QStringList columns = c.tableColumns(QLatin1String(t.name));
        if (columns.isEmpty())
            throw DbError(QStringLiteral("Tabela %1 não encontrada no banco de dados.")
                              .arg(QLatin1String(t.name)));
        for (const Column& col : t.columns)
            if (!columns.contains(QLatin1String(col.name)))
                throw DbError(QStringLiteral("Coluna %1.%2 não encontrada no banco de dados.")
                                  .arg(QLatin1String(t.name), QLatin1String(col.name)));
    }
    if (c.engine() == Engine::PostgreSQL &&
        c.selectValue(QStringLiteral("select count(*) from pg_collation where collname = ?"),
                      {QLatin1String(Dialect::NameCollation)})
                .toInt() == 0)
        throw DbError(QStringLiteral("O banco de dados não tem a ordem de nomes %1; crie-o "
                                     "novamente com o capdb.")
                          .arg(QLatin1String(Dialect::NameCollation)));
}

} // namespace Schema
