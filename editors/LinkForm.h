#pragma once

#include <array>

#include "editors/EditorForm.h"
#include "models/LinkModel.h"

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

    // N1 to N4 and T0 to T3 changed, their numbers already checked against their ranges: each
    // also updates T4. Returns the word changed.
    int ChangeN(LinkNumber field, int value);
    int ChangeT(LinkNumber field, int value);
    // Ack and Tmode changed: Tmode also relabels T1. Returns the word changed.
    int FlgClick(LinkFlag flag, bool checked);

protected:
    EditorModel& model() override { return model_; }
    void showModel() override;

private:
    void buildPage(const QString& title, LinkNumber first, LinkNumber last, LinkFlag flag);
    int storeNumber(LinkNumber field, int value);
    void showLossTime();
    void showT1Label();

    LinkModel model_;
    std::array<QLabel*, 2> LT1{}; // LT1_0 and LT1_1
    QLineEdit* T4 = nullptr;
};
