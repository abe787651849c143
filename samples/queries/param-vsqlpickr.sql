-- description: Customers with one more column picked from the table's columns (VSQLPICKR)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, name, ?VSQLPICKR_Column||"{SELECT name FROM pragma_table_info('customers') WHERE name NOT IN ('id', 'name')}"? AS detail
FROM customers
ORDER BY id
