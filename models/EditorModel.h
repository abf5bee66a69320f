#pragma once

#include <cstdint>
#include <span>

#include "models/Field.h"

// What every editor window asks of its model. A model owns the working copy of one block of the
// configuration record and holds every rule about it; it has no widget.
class EditorModel {
public:
    virtual ~EditorModel() = default;

    // Makes the working copy from the record's block and normalises it to what the controls show.
    virtual void LoadBlock() = 0;
    // The editor's defaults into the working copy; the record is not touched.
    virtual void setDefaults() = 0;
    // The working copy into the record's block ("Сохранить").
    virtual void save() const = 0;

    // The bytes handed to the worker on code 9: exactly payloadSize() of them.
    virtual int payloadSize() const = 0;
    virtual void writePayload(std::uint8_t* destination) const = 0;
    // An item changed while testing; the next payload carries it. Editors that push their whole
    // block keep no pending item.
    virtual void setPending(int item) = 0;

    // The block's fields, and each as the editor shows it now.
    virtual std::span<const Field> fields() const = 0;
    virtual FieldContext fieldContext() const = 0;
    virtual int fieldValue(const Field& field) const = 0;
    // A value set as the field's control sets it, through the editor's rules; returns the item
    // changed, for setPending.
    virtual int changeField(const Field& field, int value) = 0;
    // Whether the editor has the field for this controller's model and edition (a page hidden by
    // another field's value still has it), and whether it lets the field be changed.
    virtual bool fieldShown(const Field&) const { return true; }
    virtual bool fieldEnabled(const Field&) const { return true; }
    // The values the field's control takes now: the table's, where the editor's rules do not
    // narrow them for the controller.
    virtual NumberRange fieldLimits(const Field& field) const
    {
        return fieldRange(field, fieldContext());
    }
};
