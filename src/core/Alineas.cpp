#include "core/Alineas.h"

namespace Alineas {

// A reason allows a new presentation only when the bank takes the cheque back: the first
// return for lack of funds, and the returns for a fault of the presentation itself (a missing
// endorsement, a bad record or image, the wrong bank or session, a local holiday, a file not
// processed). The bank refuses, and charges for, a cheque returned for a second lack of funds,
// a closed account, a stop order, fraud, theft, a judicial block, prescription and the like, and
// for the reasons it returns only while their cause persists (signature, formal error), which
// this program cannot know has ceased.
const QList<Alinea>& lista() {
    static const QList<Alinea> l = {
        {QStringLiteral("11"), QStringLiteral("Cheque sem fundos - 1ª apresentação"), true},
        {QStringLiteral("12"), QStringLiteral("Cheque sem fundos - 2ª apresentação"), false},
        {QStringLiteral("13"), QStringLiteral("Conta encerrada"), false},
        {QStringLiteral("14"), QStringLiteral("Prática espúria"), false},
        {QStringLiteral("20"),
         QStringLiteral("Cheque sustado ou revogado em virtude de roubo, furto ou extravio de "
                        "folhas de cheque em branco"),
         false},
        {QStringLiteral("21"), QStringLiteral("Cheque sustado ou revogado"), false},
        {QStringLiteral("22"), QStringLiteral("Divergência ou insuficiência de assinatura"), false},
        {QStringLiteral("23"),
         QStringLiteral("Cheque de entidade da administração pública federal em desacordo com o "
                        "art. 74, § 2º, do Decreto-lei nº 200/1967"),
         false},
        {QStringLiteral("24"),
         QStringLiteral("Bloqueio judicial ou determinação do Banco Central do Brasil"), false},
        {QStringLiteral("25"), QStringLiteral("Cancelamento de talonário pelo banco sacado"),
         false},
        {QStringLiteral("27"), QStringLiteral("Feriado municipal não previsto"), true},
        {QStringLiteral("28"),
         QStringLiteral("Cheque sustado ou revogado em virtude de roubo, furto ou extravio"),
         false},
        {QStringLiteral("30"), QStringLiteral("Furto ou roubo de cheque"), false},
        {QStringLiteral("31"), QStringLiteral("Erro formal"), false},
        {QStringLiteral("33"), QStringLiteral("Divergência de endosso"), true},
        {QStringLiteral("34"),
         QStringLiteral("Cheque apresentado por banco que não o indicado no cruzamento em preto, "
                        "sem o endosso-mandato"),
         false},
        {QStringLiteral("35"),
         QStringLiteral("Cheque fraudado, emitido sem prévio controle ou responsabilidade do "
                        "banco, ou com adulteração ou rasura no preenchimento"),
         false},
        {QStringLiteral("37"), QStringLiteral("Registro inconsistente"), true},
        {QStringLiteral("38"), QStringLiteral("Assinatura digital ausente ou inválida"), true},
        {QStringLiteral("39"), QStringLiteral("Imagem fora do padrão"), true},
        {QStringLiteral("40"), QStringLiteral("Moeda inválida"), true},
        {QStringLiteral("41"), QStringLiteral("Cheque apresentado a banco que não o sacado"), true},
        {QStringLiteral("42"),
         QStringLiteral("Cheque não compensável na sessão ou sistema de compensação em que foi "
                        "apresentado"),
         true},
        {QStringLiteral("43"),
         QStringLiteral("Cheque devolvido anteriormente pelos motivos 21, 22, 23, 24, 31 ou 34, "
                        "persistindo o motivo da devolução"),
         false},
        {QStringLiteral("44"), QStringLiteral("Cheque prescrito"), false},
        {QStringLiteral("45"),
         QStringLiteral("Cheque de entidade obrigada a movimentar recursos do Tesouro Nacional "
                        "por ordem bancária"),
         false},
        {QStringLiteral("48"),
         QStringLiteral("Cheque de valor superior a R$ 100,00 sem a identificação do "
                        "beneficiário"),
         false},
        {QStringLiteral("49"),
         QStringLiteral("Remessa nula: reapresentação de cheque devolvido por motivo que não a "
                        "admite"),
         false},
        {QStringLiteral("60"), QStringLiteral("Instrumento inadequado para a finalidade"), false},
        {QStringLiteral("61"), QStringLiteral("Papel não compensável"), false},
        {QStringLiteral("64"),
         QStringLiteral("Arquivo lógico não processado ou processado parcialmente"), true},
        {QStringLiteral("70"), QStringLiteral("Sustação ou revogação provisória"), false},
        {QStringLiteral("71"),
         QStringLiteral("Inadimplemento contratual da cooperativa de crédito no acordo de "
                        "compensação"),
         true},
        {QStringLiteral("72"), QStringLiteral("Contrato de compensação encerrado"), true},
    };
    return l;
}

} // namespace Alineas
