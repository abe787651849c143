-- description: Customers with the columns ticked from the table's columns (VSQLPICKC)
-- connection: Provider=SQLite;Data Source=sample.db
SELECT id, ?VSQLPICKC_Columns||"{SELECT name FROM pragma_table_info('customers') WHERE name <> 'id'}"?
FROM customers
ORDER BY id
