#include "Signatures.h"

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace pyvelmor {
namespace {

// The parameters of "(a: T, b: U = d, *, c: V = e)" split at the commas outside brackets and
// quotes.
std::vector<std::string> splitParameters(const std::string& inner) {
    std::vector<std::string> out;
    std::string cur;
    int depth = 0;
    char quote = 0;
    for (const char ch : inner) {
        if (quote != 0) {
            if (ch == quote) quote = 0;
        } else if (ch == '\'' || ch == '"') {
            quote = ch;
        } else if (ch == '(' || ch == '[' || ch == '{') {
            ++depth;
        } else if (ch == ')' || ch == ']' || ch == '}') {
            --depth;
        } else if (ch == ',' && depth == 0) {
            out.push_back(cur);
            cur.clear();
            continue;
        }
        cur += ch;
    }
    if (!cur.empty()) out.push_back(cur);
    return out;
}

std::string trimmed(const std::string& s) {
    const std::size_t b = s.find_first_not_of(' ');
    const std::size_t e = s.find_last_not_of(' ');
    return b == std::string::npos ? "" : s.substr(b, e - b + 1);
}

// "name: type = default" as "name=default". A method's self stays a plain first parameter:
// pybind11's functions carry a __self__ of their own, so inspect would drop a "$self" from the
// function itself, and then once more from the bound method.
std::string textParameter(const std::string& typed) {
    const std::string p = trimmed(typed);
    if (p == "*" || p == "/") return p;
    const std::string name = trimmed(p.substr(0, p.find(':')));
    const std::size_t eq = p.find(" = ");
    if (eq == std::string::npos) return name;
    std::string value = trimmed(p.substr(eq + 3));
    // pybind11 writes an object without a literal as "<...>", which CPython cannot read back.
    if (value.empty() || value.front() == '<') value = "...";
    return name + "=" + value;
}

// The text signature of a pybind11 docstring, or "" when it is not one function's signature.
std::string textSignature(const std::string& doc, const std::string& name) {
    if (doc.rfind(name + "(", 0) != 0) return "";
    const std::size_t close = doc.find(") -> ");
    const std::size_t eol = doc.find('\n');
    if (close == std::string::npos || (eol != std::string::npos && close > eol)) return "";
    const std::string inner = doc.substr(name.size() + 1, close - name.size() - 1);
    std::string out = name + "(";
    const std::vector<std::string> params = splitParameters(inner);
    for (std::size_t i = 0; i < params.size(); ++i)
        out += (i ? ", " : "") + textParameter(params[i]);
    return out + ")\n--\n\n";
}

void sign(PyObject* function) {
    if (!PyCFunction_Check(function)) return;
    auto* f = reinterpret_cast<PyCFunctionObject*>(function);
    if (f->m_ml == nullptr || f->m_ml->ml_doc == nullptr) return;
    const std::string doc = f->m_ml->ml_doc;
    const std::string sig = textSignature(doc, f->m_ml->ml_name);
    if (sig.empty()) return;
    // pybind11 allocated the docstring with strdup and frees it the same way.
    char* replaced = strdup((sig + doc).c_str());
    if (replaced == nullptr) return;
    std::free(const_cast<char*>(f->m_ml->ml_doc));
    f->m_ml->ml_doc = replaced;
}

void signClass(const py::handle& cls) {
    const py::dict members = cls.attr("__dict__");
    for (const auto item : members) {
        PyObject* value = item.second.ptr();
        if (PyInstanceMethod_Check(value)) {
            sign(PyInstanceMethod_GET_FUNCTION(value));
        } else if (py::isinstance(item.second,
                                  py::reinterpret_borrow<py::object>(
                                      reinterpret_cast<PyObject*>(&PyStaticMethod_Type)))) {
            sign(item.second.attr("__func__").ptr());
        }
    }
}

}  // namespace

void addTextSignatures(py::module_& m) {
    const py::dict members = m.attr("__dict__");
    for (const auto item : members) {
        if (PyCFunction_Check(item.second.ptr())) {
            sign(item.second.ptr());
        } else if (PyType_Check(item.second.ptr()) && py::hasattr(item.second, "__module__") &&
                   item.second.attr("__module__").cast<std::string>() ==
                       m.attr("__name__").cast<std::string>()) {
            signClass(item.second);
        }
    }
}

}  // namespace pyvelmor
