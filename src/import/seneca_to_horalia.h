// The Séneca-to-Horalia run: the eight steps that rebuild the working tables
// from a Séneca exchange document, and the driver that runs them in order.
// Each step reads state.DocXML and writes one table in the working folder
// (TransformarAsignaciones reads two tables instead of the document).
#pragma once

class ProgramState;

namespace import {

void TransformarCursoAcademico(ProgramState& state);  // CURSOACAD
void TransformarCursos(ProgramState& state);          // CURSOST, then the assignment loop
void TransformarMaterias(ProgramState& state);        // ASIGNOMT
void TransformarEmpleados(ProgramState& state);       // PROFT
void TransformarDependencias(ProgramState& state);    // AULAT
void TransformarUnidades(ProgramState& state);        // GRUPOST
void TransformarAsignaciones(ProgramState& state);    // ASIGT
void TransformarTramos(ProgramState& state);          // DIASHORAST

// The run from the load on, once the front end has checked that
// state.ArchivoXML exists: loads it into a new state.DocXML (a document that
// cannot be read or is not well-formed throws UserError before any table is
// touched), shows the hourglass, runs the eight steps in order, takes the
// hourglass back (also when a step throws) and sets CodigoResultado to 1.
// Errors propagate as UserError; the components opened are closed.
void RunSenecaToHoralia(ProgramState& state);

}  // namespace import
