#pragma once

#include <array>

#include "editors/EditorForm.h"
#include "models/LinkModel.h"

class NumberField;
class QCheckBox;
class QLabel;
class QLineEdit;

// The link protocol editor: packet size, retry counters, window size, acknowledgement request and
// the protocol timers of the link block. "Тест" loads the whole working copy into the controller.
class TFLink final : public TFEditor {
public:
    static inline const EditorKind Kind{QStringLiteral("Соединение"), Target::Link,
                                        TaskEvent::LinkLoad, TestStyle::OneShot, 74};

    // The tree node "Соединение": opens the editor on the record's link block, or brings the open
    // one to the front.
    static TFLink* open(const EditorPlace& place, const LinkInputs& inputs);

    TFLink(const EditorPlace& place, const LinkInputs& inputs);

    // N1 to N4 and T0 to T3 changed, their numbers already checked against their ranges.
    void ChangeN(LinkNumber field, int value);
    void ChangeT(LinkNumber field, int value);
    void FlgClick(LinkFlag flag, bool checked);

protected:
    EditorModel& model() override { return model_; }
    void showModel() override;

private:
    void buildPage(const QString& title, LinkNumber first, LinkNumber last, LinkFlag flag,
                   Dialogs& dialogs);
    void storeNumber(LinkNumber field, int value);
    NumberField*& field(LinkNumber number);
    QCheckBox*& box(LinkFlag flag);
    void showLossTime();
    void showT1Label();

    LinkModel model_;
    std::array<NumberField*, LinkNumberCount> fields_{};
    std::array<QCheckBox*, 2> flags_{};
    std::array<QLabel*, 2> LT1{}; // LT1_0 and LT1_1
    QLineEdit* T4 = nullptr;
};
