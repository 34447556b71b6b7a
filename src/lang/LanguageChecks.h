#pragma once

#include <QString>

namespace contivo {

/// Default texts of the keyed messages the program looks up.
inline constexpr const char* kMsgNoCsvInterfaceKey = "MsgErr.NoCsvInterface";
inline constexpr const char* kMsgNoCsvInterfaceText
    = "Nessuna interfaccia per CSV definita. Prima di procedere "
      "all'importazione è necessario impostare l'interfaccia CSV.";
inline constexpr const char* kMsgCsvDetailErrorKey = "MsgErr.CsvDetailError";
inline constexpr const char* kMsgCsvDetailErrorText
    = "Si è verificato un errore nella generazione del file di dettaglio";

/// True when the CSV interface file exists; otherwise the keyed error box MsgErr.NoCsvInterface and false.
bool CheckCsvInterface(const QString& path);

}
