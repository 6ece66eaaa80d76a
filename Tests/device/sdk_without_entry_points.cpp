// Stands in for a camera SDK library of the wrong version: it loads, but
// exports none of the functions the interface looks up.
