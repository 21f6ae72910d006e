#pragma once
// `expect ...` lines: what they check and how a value is read back as text
// (dates dd/mm/yyyy, floats with the field's display format, booleans
// true/false, null as null). Each evaluation records a pass or a failure in
// the transcript; a name that does not exist is a malformed scenario.
#include "Parser.h"

#include <string>

class TField;

namespace script {

class Driver;
class Transcript;

struct Expectation {
    enum class Kind { Message, NoMessage, Form, Focus, Page, Calls, CallArgument, Sql, Cell, Property };
    Kind kind = Kind::Property;
    std::string target;    // Property, Cell: what is looked at ("cdsX", "frmY.edtZ", "unit");
                           // Calls, CallArgument: the method; Sql: the statement;
                           // Form, Focus, Page: the name expected
    std::string property;  // Property: the last segment ("text", "state", a field name); Cell: the field
    std::string aspect;    // Cell of a grid: "image", "color" or "align" of the drawn cell; empty: its text
    int index = 0;         // Cell: the row, from 1; CallArgument: the argument, from 1
    Token value;           // the value expected (Message: the text; Calls: the count)
};

// Reads the arguments of an `expect` command. Throws ScenarioError for a
// shape the language does not have.
Expectation ParseExpectation(const Command& command);

// Checks it now. Throws ScenarioError for unknown controls, datasets, fields,
// properties or unit variables.
void Evaluate(const Expectation& e, const Command& command, Driver& driver, Transcript& transcript);

// A field's value as scenarios compare it.
std::string FieldText(const TField& field);

}  // namespace script
