// Placeholder: tests follow with the code.
