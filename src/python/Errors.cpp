// SPDX-License-Identifier: GPL-3.0-or-later
#include "Errors.h"

namespace py = pybind11;

namespace panelflow::python {
namespace {

PyObject* bodyWarning = nullptr;

[[noreturn]] void Raise(PyObject* type, const std::string& message) {
    PyErr_SetString(type, message.c_str());
    throw py::error_already_set();
}

}  // namespace

void Check(const Status& status) {
    if (status) return;
    switch (status.fault) {
        case Fault::Memory: Raise(PyExc_MemoryError, status.message);
        case Fault::File: Raise(PyExc_OSError, status.message);
        case Fault::Input: break;
    }
    Raise(PyExc_ValueError, status.message);
}

void RaiseValueError(const std::string& message) { Raise(PyExc_ValueError, message); }

void DefineBodyWarning(py::module_& module) {
    bodyWarning = PyErr_NewExceptionWithDoc(
        "panelflow.BodyWarning",
        "A body was built but cannot be right (its normals point inwards, or it is open at an end):\n"
        "the flow computed for it will be wrong. The message says what is wrong and where.",
        PyExc_UserWarning, nullptr);
    if (bodyWarning == nullptr) throw py::error_already_set();
    module.add_object("BodyWarning", py::handle(bodyWarning));
}

void WarnAboutBody(const std::string& text) {
    if (text.empty()) return;
    if (PyErr_WarnEx(bodyWarning, text.c_str(), 2) != 0) throw py::error_already_set();
}

}  // namespace panelflow::python
