#pragma once

#include <QPointer>
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/Numbers.h"
#include "platform/ui/Button.h"
#include "platform/ui/ComboBox.h"
#include "platform/ui/Form.h"
#include "platform/ui/Label.h"
#include "platform/ui/ListView.h"
#include "platform/ui/MessageBox.h"
#include "platform/ui/TextBox.h"
#include "printing/Notifier.h"

class QCloseEvent;
class QHideEvent;
class QShowEvent;

namespace vexa {

class ClientsDataCls;
class Config;
class PortOpener;

// The children dialog: the holder's children as a list the clerk adds to and removes from,
// written back into the record (in key order, see DetiRules) with "OK" or "Tisk", which also
// prints the children page. "Storno" and the close box leave the record as it was.
//
// A window of its own, shown without a modal loop over its owner, the main window, which it
// keeps disabled while it is open: creating the dialog disables the owner, closing it (in any
// way) enables the owner again. Each dialog is used for one opening.
class frmDeti : public Form, public Notifier {
    Q_OBJECT
  public:
    static constexpr const char* kCaption = "Děti";  // UTF-8
    // The list's width in twips, from which its columns take theirs.
    static constexpr double kListWidth = 5175.0;

    // `record`: whose children are edited; `ownerSurname`: the main window's surname field as
    // it stands; `ports`: where the children page goes.
    frmDeti(QWidget* owner, ClientsDataCls& record, std::function<std::string()> ownerSurname,
            const Config& config, MessageBox& messages, PortOpener& ports);
    ~frmDeti() override;

    void PrepareChildrensHeaders();
    bool AllFieldsValid() const;
    void ClearInputs();
    // Replaces the record's children by the rows of the list.
    void StoreChildren();
    // Whether each entry field (first name, surname, sex, day, month, year) was last found
    // acceptable.
    const std::array<bool, 6>& FieldValid() const { return m_fieldValid; }

    // Messages of the print job: warnings over this dialog.
    void Warn(const std::string& message) override;

    ListView* DetiList = nullptr;
    Label* LDJmeno = nullptr;
    TextBox* edJmeno = nullptr;
    Label* LDPrijmeni = nullptr;
    TextBox* edPrijmeni = nullptr;
    Label* LDPohlavi = nullptr;
    ComboBox* comSex = nullptr;
    Label* LDDatumNarozeni = nullptr;
    TextBox* edDen = nullptr;
    TextBox* edMesic = nullptr;
    TextBox* edRok = nullptr;
    Button* cmdPridat = nullptr;
    Button* cmdOdebrat = nullptr;
    Button* cmdTisk = nullptr;
    Button* cmdOK = nullptr;
    Button* cmdStorno = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    enum Field { Jmeno, Prijmeni, Sex, Den, Mesic, Rok };

    void BuildControls();
    void FormLoad();
    void Unload();

    // The field checks, each setting its entry and enabling "Přidat" when all are acceptable.
    void EnableWhenAllValid();
    void OnNameLeft(TextBox* box, Field field);
    void OnSexClick();
    void OnSexLeft();
    void OnDateLeft(TextBox* box, Field field);
    void OnRokLeft();
    void OnPridat();
    void OnOdebrat();
    void OnTisk();

    std::vector<std::string> Keys() const;
    bool PrevodOn() const;

    QPointer<QWidget> m_owner;
    ClientsDataCls& m_record;
    std::function<std::string()> m_ownerSurname;
    const Config& m_config;
    MessageBox& m_messages;
    PortOpener& m_ports;
    LocaleDecimal m_decimal;
    std::array<bool, 6> m_fieldValid{};
    bool m_unloaded = false;
    bool m_shown = false;
};

}  // namespace vexa
